#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace velumark::gui {

// The progress of a long printout over its window, with Cancel; it appears only when the
// printout takes a while. Keeps the window responsive between pages.
class PrintProgress
{
public:
    PrintProgress(QWidget *parent, const QString &text);
    ~PrintProgress();
    PrintProgress(const PrintProgress &) = delete;
    PrintProgress &operator=(const PrintProgress &) = delete;

    // Asked before each page: false once the user cancelled.
    bool carryOn(int done, int total);
    bool wasCancelled() const;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace velumark::gui
