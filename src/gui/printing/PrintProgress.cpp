#include "gui/printing/PrintProgress.h"

#include "store/Localization.h"

#include <QProgressDialog>

namespace velumark::gui {

PrintProgress::PrintProgress(QWidget *parent, const QString &text)
    : m_dialog(std::make_unique<QProgressDialog>(text, localized("Cancel"), 0, 1, parent))
{
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
}

PrintProgress::~PrintProgress() = default;

bool PrintProgress::carryOn(int done, int total)
{
    if (m_dialog->maximum() != total)
        m_dialog->setMaximum(total);
    // A window-modal progress dialog handles the events itself.
    m_dialog->setValue(done);
    return !m_dialog->wasCanceled();
}

bool PrintProgress::wasCancelled() const
{
    return m_dialog->wasCanceled();
}

} // namespace velumark::gui
