#include "gui/photos/ImportProgressWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumark::gui {

ImportProgressWindow::ImportProgressWindow(const QString &text, QWidget *parent)
    : QDialog(parent), m_bar(new QProgressBar(this))
{
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("Adding Photos"));
    m_bar->setRange(0, 100);
    m_bar->setMinimumWidth(320);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text, this));
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, [this, buttons] {
        buttons->button(QDialogButtonBox::Cancel)->setEnabled(false);
        emit cancelled();
    });
}

void ImportProgressWindow::progressUpdate(double percent)
{
    m_bar->setValue(int(percent));
}

void ImportProgressWindow::operationFinished(OperationResult, const QString &)
{
    // The grid tells the user about the outcome; this window only goes.
    accept();
}

} // namespace velumark::gui
