#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace velumark::gui {

// Asks an update feed whether a newer version exists. The feed is a small JSON document,
// {"version": "1.4", "address": "https://..."}, at an address given by the build; without one,
// checking is not configured.
class UpdateChecker : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        enum class Outcome
        {
            UpToDate,
            NewerVersion,
            Failed
        };
        Outcome outcome = Outcome::Failed;
        QString version; // the feed's version
        QUrl address;    // where to get it
        QString reason;  // why the check failed
    };

    explicit UpdateChecker(QUrl feed, QObject *parent = nullptr);
    ~UpdateChecker() override;

    bool isConfigured() const { return m_feed.isValid() && !m_feed.isEmpty(); }
    bool isChecking() const { return !m_reply.isNull(); }
    // Asks the feed; finished() brings the answer. Does nothing while a check runs.
    void check();

    // What the feed's text says against the running version.
    static Result interpret(const QByteArray &feed, const QString &runningVersion);

signals:
    void finished(const velumark::gui::UpdateChecker::Result &result);

private:
    void replyFinished();

    QUrl m_feed;
    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
};

} // namespace velumark::gui
