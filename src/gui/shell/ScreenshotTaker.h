#pragma once

#include "store/Result.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace velumark::gui {

// Pictures of named windows for the documentation, asked for on the command line with
// "--screenshot NAME=FILE.png": once the windows are on the screen and painted, each subject is
// shown, grabbed into its file and put away again, then done() reports whether all were taken.
class ScreenshotTaker : public QObject
{
    Q_OBJECT
public:
    struct Subject
    {
        std::function<QWidget *()> show; // the window to grab, on the screen; null when there is none
        std::function<void()> hide;      // puts it away again (may be empty)
        // True once the window shows what the picture is for (may be empty: ready when painted).
        // A window still not ready after readyTimeoutMs is taken as it is, with a word on stderr.
        std::function<bool()> ready = {};
        int readyTimeoutMs = 20000;
    };

    using QObject::QObject;

    // The names that may be asked for, with how to show each.
    void addSubject(const QString &name, Subject subject);
    // "NAME=FILE"; fails for an unknown name or a malformed request.
    Result<> addRequest(const QString &request);
    bool hasRequests() const { return !m_requests.empty(); }
    // Takes the pictures once the event loop has settled.
    void start();

    // A dark palette on the Fusion style, to check that every window stays legible.
    static void useDarkPalette();

signals:
    void done(bool allTaken);

private:
    void takeNext();
    void waitForExposure(QWidget *window);
    void waitUntilReady(QWidget *window);
    void grab(QWidget *window);

    std::map<QString, Subject> m_subjects;
    std::vector<std::pair<QString, QString>> m_requests; // name, file
    size_t m_next = 0;
    int m_waits = 0;
    QElapsedTimer m_readySince;
    bool m_allTaken = true;
};

} // namespace velumark::gui
