#pragma once

#include "interchange/OperationTexts.h"
#include "interchange/OperationWatcher.h"

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velumark {
class LongOperation;
}

namespace velumark::gui {

// The one progress window of every long operation: window-modal over the catalogue's window, it
// shows how far the work is and what it is doing, cancels it (the button or closing the window),
// and tells the user how it ended. It closes itself once the operation has ended.
class ProgressWindow : public QDialog, public OperationWatcher
{
    Q_OBJECT
public:
    // The core's reason is shown beneath the failure text.
    struct Texts : OperationTexts
    {
        QString followUpText; // a button of the completion alert ("Open Report"); empty for none
        std::function<void()> followUp;
    };

    ProgressWindow(QWidget *parent, Texts texts);
    ~ProgressWindow() override;

    // Shows the window and follows the operation until it ends.
    void watch(LongOperation *operation);
    // Shows the window for work that reports here itself and ends it with end(); Cancel calls
    // `cancel`.
    void follow(std::function<void()> cancel);
    // The followed work is over: the window closes without an alert.
    void end();

    void progressUpdate(double percent) override;
    void operationFinished(OperationResult result, const QString &message) override;

    int percentShown() const;

signals:
    void ended(velumark::OperationResult result);

public slots:
    // Cancel: the operation stops at its next check; the window stays until it has.
    void reject() override;

private:
    void showOutcome(OperationResult result, const QString &message);

    Texts m_texts;
    std::function<void()> m_cancel;
    bool m_running = false;
    QLabel *m_step;
    QProgressBar *m_bar;
    QPushButton *m_cancelButton;
};

} // namespace velumark::gui
