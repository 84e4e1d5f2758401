#include "PrintDialogAnswer.h"
#include "ShellJourney.h"
#include "ShownWindow.h"
#include "gui/printing/DocumentPrinting.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"
#include "support/PrintedPdf.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace velumark::test {
namespace {

using gui::ActionId;
using gui::DocumentPrinting;

QStringList studies(int count)
{
    QStringList titles;
    for (int i = 1; i <= count; ++i)
        titles << QStringLiteral("Study %1").arg(i, 2, 10, QLatin1Char('0'));
    return titles;
}

class PrintingJourney : public ShellJourney
{
protected:
    gui::DocumentWindow *open(const QString &package)
    {
        EXPECT_TRUE(app().start({package}));
        return onlyWindow();
    }
};

TEST_F(PrintingJourney, ExportAsPdfPrintsTheListShownOnTheCataloguesPageSetup)
{
    gui::DocumentWindow *window = open(makeCatalogue(QStringLiteral("Studio"), studies(14)));
    ASSERT_TRUE(window);
    for (const ActionId id :
         {ActionId::PageSetup, ActionId::PrintPreview, ActionId::Print, ActionId::ExportPdf})
        EXPECT_TRUE(app().actions().action(id)->isEnabled());
    const QString pdf = path(QStringLiteral("studio"));
    user.paths = {pdf};
    trigger(ActionId::ExportPdf);
    ASSERT_EQ(user.choices.size(), 1u);
    EXPECT_EQ(user.choices.front().proposedName, QStringLiteral("Studio - Artworks.pdf"));
    const PrintedPdf printed(pdf + QStringLiteral(".pdf"));
    EXPECT_EQ(printed.pageCount(), 3) << "five rows to a Letter page";
    EXPECT_EQ(printed.pageSize(), QSizeF(612, 792));
    EXPECT_TRUE(printed.text(3).contains(QStringLiteral("Study 14")));

    // A page setup of its own, kept with the catalogue from one opening to the next.
    DocumentPrinting::of(*window).setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                                            QMarginsF(36, 36, 36, 36), QPageLayout::Point));
    window->close();
    deleteClosedWindows();
    window = open(path(QStringLiteral("Studio.vdb")));
    ASSERT_TRUE(window);
    user.paths = {path(QStringLiteral("across.pdf"))};
    trigger(ActionId::ExportPdf);
    EXPECT_EQ(PrintedPdf(path(QStringLiteral("across.pdf"))).pageSize(), QSizeF(595, 420));
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();

    // A file that cannot be written is named in an alert.
    user.paths = {path(QStringLiteral("missing/out.pdf"))};
    trigger(ActionId::ExportPdf);
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(user.alerts.front().text.contains(QStringLiteral("out.pdf")));
}

TEST_F(PrintingJourney, PageSetupDialogChangesThePaperOfThisCatalogueOnly)
{
    const QString other = makeCatalogue(QStringLiteral("Other"));
    gui::DocumentWindow *window = open(makeCatalogue(QStringLiteral("Studio"), studies(3)));
    ASSERT_TRUE(window);
    bool chosen = false;
    QTimer::singleShot(0, [&chosen] {
        auto *dialog = shownWindow<QPageSetupDialog>();
        auto *landscape = dialog ? dialog->findChild<QRadioButton *>(QStringLiteral("landscape")) : nullptr;
        if (landscape) {
            landscape->click();
            chosen = true;
        }
        if (dialog)
            dialog->accept();
    });
    trigger(ActionId::PageSetup);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(DocumentPrinting::of(*window).pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(DocumentPrinting::of(*window).currentChoice().orientation, QPageLayout::Landscape);
    window->close();
    deleteClosedWindows();
    gui::DocumentWindow *second = open(other);
    ASSERT_TRUE(second);
    EXPECT_EQ(DocumentPrinting::of(*second).pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(PrintingJourney, PreviewShowsThePagesAndWritesThemAsPdf)
{
    gui::DocumentWindow *window = open(makeCatalogue(QStringLiteral("Studio"), studies(14)));
    ASSERT_TRUE(window);
    trigger(ActionId::PrintPreview);
    auto *preview = shownWindow<QPrintPreviewDialog>();
    ASSERT_TRUE(preview);
    auto *pages = preview->findChild<QPrintPreviewWidget *>();
    ASSERT_TRUE(pages);
    QTRY_COMPARE(pages->pageCount(), 3);
    QAction *pdf = nullptr;
    for (QAction *action : preview->findChild<QToolBar *>()->actions()) {
        if (action->text() == QLatin1String("Export as PDF..."))
            pdf = action;
    }
    ASSERT_TRUE(pdf);
    user.paths = {path(QStringLiteral("preview.pdf"))};
    pdf->trigger();
    EXPECT_EQ(PrintedPdf(path(QStringLiteral("preview.pdf"))).pageCount(), 3);
    preview->reject();
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
}

TEST_F(PrintingJourney, PrintOffersTheRowsSelectedInTheListAlone)
{
    gui::DocumentWindow *window = open(makeCatalogue(QStringLiteral("Studio"), studies(14)));
    ASSERT_TRUE(window);
    QTableView *table = window->view()->listPane(VelumarkDatabase::ListKind::Artworks)->tableView();
    table->selectRow(4);
    table->selectionModel()->select(table->model()->index(9, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    trigger(ActionId::Print);
    ASSERT_TRUE(answerPrintDialog(path(QStringLiteral("chosen.pdf")), true));
    const QString text = PrintedPdf(path(QStringLiteral("chosen.pdf"))).text();
    for (const int study : {1, 4, 5, 10, 11, 14})
        EXPECT_EQ(text.contains(QStringLiteral("Study %1").arg(study, 2, 10, QLatin1Char('0'))),
                  study == 5 || study == 10)
            << study;

    // Without a selection the whole list prints.
    table->clearSelection();
    trigger(ActionId::Print);
    ASSERT_TRUE(answerPrintDialog(path(QStringLiteral("all.pdf"))));
    const PrintedPdf all(path(QStringLiteral("all.pdf")));
    EXPECT_TRUE(all.text(1).contains(QStringLiteral("Study 01")));
    EXPECT_TRUE(all.text(all.pageCount()).contains(QStringLiteral("Study 14")));
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
}

// The pages chosen in the print dialog reach a printer and a PDF file alike; a file that cannot be
// written leaves nothing and says why.
TEST_F(PrintingJourney, PrintingWritesTheChosenPagesOrNothingAndSaysWhy)
{
    gui::DocumentWindow *window = open(makeCatalogue(QStringLiteral("Studio"), studies(14)));
    ASSERT_TRUE(window);
    DocumentPrinting &printing = DocumentPrinting::of(*window);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageLayout(printing.pageLayout());
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2-3")));
    printer.setOutputFileName(path(QStringLiteral("range.pdf")));
    ASSERT_TRUE(printing.printTo(printer, printing.currentChoice(), window).ok());
    const PrintedPdf range(path(QStringLiteral("range.pdf")));
    EXPECT_EQ(range.pageCount(), 2);
    EXPECT_TRUE(range.text(1).contains(QStringLiteral("(2/3)")));

    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("3")));
    printer.setOutputFileName(path(QStringLiteral("third.pdf")));
    ASSERT_TRUE(printing.printChosen(printer, printing.currentChoice(), window).ok());
    const PrintedPdf third(path(QStringLiteral("third.pdf")));
    EXPECT_EQ(third.pageCount(), 1);
    EXPECT_TRUE(third.text().contains(QStringLiteral("(3/3)")));

    const QString unreachable = path(QStringLiteral("gone/out.pdf"));
    printer.setOutputFileName(unreachable);
    const Result<> failed = printing.printChosen(printer, printing.currentChoice(), window);
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.message().contains(QStringLiteral("out.pdf"))) << failed.message().toStdString();
    EXPECT_FALSE(QFileInfo::exists(unreachable));
}

} // namespace
} // namespace velumark::test
