#include "gui/transfer/ProgressWindow.h"

#include "gui/shell/UserInteraction.h"
#include "gui/transfer/SectionHeading.h"
#include "interchange/LongOperation.h"
#include "store/Localization.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace velumark::gui {

ProgressWindow::ProgressWindow(QWidget *parent, Texts texts)
    : QDialog(parent), m_texts(std::move(texts)), m_step(new QLabel(this)), m_bar(new QProgressBar(this)),
      m_cancelButton(new QPushButton(localized("Cancel"), this))
{
    setWindowTitle(m_texts.title);
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(360);
    m_step->setText(localized("Preparing…"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cancelButton, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &ProgressWindow::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sectionHeading(m_texts.title, this));
    layout->addWidget(m_bar);
    layout->addWidget(m_step);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ProgressWindow::~ProgressWindow()
{
    // Nothing is left running unwatched when the window goes first (its catalogue's window closed).
    if (m_running && m_cancel)
        m_cancel();
}

void ProgressWindow::watch(LongOperation *operation)
{
    // Connected with the window as the receiver, so nothing reaches a window that is gone.
    connect(operation, &LongOperation::progress, this, &ProgressWindow::progressUpdate);
    connect(operation, &LongOperation::finished, this, &ProgressWindow::operationFinished);
    follow([operation = QPointer<LongOperation>(operation)] {
        if (operation)
            operation->abort();
    });
}

void ProgressWindow::follow(std::function<void()> cancel)
{
    m_cancel = std::move(cancel);
    m_running = true;
    open();
}

void ProgressWindow::progressUpdate(double percent)
{
    if (!m_cancelButton->isEnabled())
        return; // cancelling: the bar stays where it was
    const int shown = int(std::lround(std::clamp(percent, 0.0, 100.0)));
    m_bar->setValue(shown);
    m_step->setText(localized("%1% done").arg(shown));
}

int ProgressWindow::percentShown() const
{
    return m_bar->value();
}

void ProgressWindow::reject()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_cancelButton->setEnabled(false);
    m_step->setText(localized("Cancelling…"));
    if (m_cancel)
        m_cancel();
}

void ProgressWindow::operationFinished(OperationResult result, const QString &message)
{
    m_running = false;
    hide();
    showOutcome(result, message);
    emit ended(result);
    close();
}

void ProgressWindow::end()
{
    m_running = false;
    hide();
    close();
}

void ProgressWindow::showOutcome(OperationResult result, const QString &message)
{
    UserInteraction &user = UserInteraction::instance();
    QWidget *owner = parentWidget();
    if (result == OperationResult::Cancelled)
        return;
    if (result != OperationResult::Done) {
        user.showAlert(
            owner, {m_texts.failedTitle, m_texts.failedText, message, UserInteraction::Severity::Warning});
        return;
    }
    if (m_texts.followUpText.isEmpty()) {
        user.showAlert(
            owner, {m_texts.doneTitle, m_texts.doneText, QString(), UserInteraction::Severity::Information});
        return;
    }
    const int answer = user.ask(owner, {m_texts.doneTitle,
                                        m_texts.doneText,
                                        QString(),
                                        {{m_texts.followUpText, UserInteraction::ButtonRole::Accept},
                                         {localized("OK"), UserInteraction::ButtonRole::Reject}},
                                        1,
                                        UserInteraction::Severity::Information});
    if (answer == 0 && m_texts.followUp)
        m_texts.followUp();
}

} // namespace velumark::gui
