#include "PrintDialogAnswer.h"

#include "ShownWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QRadioButton>
#include <QTest>

namespace velumark::test {

bool answerPrintDialog(const QString &file, bool selectionOnly)
{
    QPrintDialog *dialog = nullptr;
    if (!QTest::qWaitFor([&] { return (dialog = shownWindow<QPrintDialog>()) != nullptr; }))
        return false;
    // Without a print server the choices are the PDF file and nothing else.
    auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"));
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
    auto *selection = dialog->findChild<QRadioButton *>(QStringLiteral("printSelection"));
    if (!printers || !name || !selection || (selectionOnly && !selection->isEnabled()))
        return false;
    printers->setCurrentIndex(printers->findText(QStringLiteral("PDF"), Qt::MatchContains));
    name->setText(file);
    if (selectionOnly)
        selection->setChecked(true);
    dialog->accept();
    return true;
}

} // namespace velumark::test
