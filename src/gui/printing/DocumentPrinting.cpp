#include "gui/printing/DocumentPrinting.h"

#include "document/PrintChoice.h"
#include "document/VelumarkDatabase.h"
#include "editing/PageGeometry.h"
#include "editing/PdfExport.h"
#include "editing/PrintRenderer.h"
#include "gui/printing/PageSetupSettings.h"
#include "gui/printing/PrintProgress.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"
#include "interchange/ExportValues.h"
#include "store/Localization.h"

#include <QAction>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QToolBar>

namespace velumark::gui {

namespace {

using editing::PrintOptions;
using editing::PrintScreen;

// What the printout is called in a proposed file name.
QString printoutName(const PrintOptions &options)
{
    switch (options.screen) {
    case PrintScreen::Artworks:
        return localized("Artworks");
    case PrintScreen::Clients:
        return localized("Clients");
    case PrintScreen::Submissions:
        return localized("Submissions");
    case PrintScreen::ClientOutstanding:
        return localized("Out at Client");
    default:
        return localized("Sheet");
    }
}

void reportFailure(QWidget *parent, const Result<> &result)
{
    if (!result)
        UserInteraction::instance().showAlert(parent, {QString(), result.message(), QString()});
}

} // namespace

DocumentPrinting::DocumentPrinting(DocumentWindow &window) : QObject(&window), m_window(window) {}

DocumentPrinting &DocumentPrinting::of(DocumentWindow &window)
{
    if (auto *existing = window.findChild<DocumentPrinting *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new DocumentPrinting(window);
}

QPageLayout DocumentPrinting::pageLayout() const
{
    QSettings settings;
    settings.beginGroup(m_window.settingsGroup());
    return PageSetupSettings::load(settings);
}

void DocumentPrinting::setPageLayout(const QPageLayout &layout)
{
    QSettings settings;
    settings.beginGroup(m_window.settingsGroup());
    PageSetupSettings::save(settings, layout);
}

QWidget *DocumentPrinting::dialogParent(QWidget *parent) const
{
    return parent ? parent : &m_window;
}

std::unique_ptr<QPrinter> DocumentPrinting::makePrinter(const PrintOptions &options) const
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageLayout layout = pageLayout();
    layout.setOrientation(options.orientation);
    printer->setPageLayout(layout);
    printer->setDocName(m_window.document().displayName());
    printer->setCreator(ExportValues::applicationName() + QLatin1Char(' ') +
                        ExportValues::applicationVersion());
    return printer;
}

PrintOptions DocumentPrinting::currentChoice() const
{
    PrintOptions options;
    options.orientation = pageLayout().orientation();
    const VelumarkDatabase &database = m_window.document().database();
    const auto shown = static_cast<PrintChoice::ShownList>(static_cast<int>(database.currentList()) + 1);
    if (const std::optional<PrintChoice::Screen> choice = PrintChoice::printScreen(shown, false))
        options.screen = editing::printScreenFor(*choice);
    // The print dialog offers the selected rows alone when there are some.
    if (const ListPane *pane =
            m_window.view() ? m_window.view()->listPane(database.currentList()) : nullptr) {
        for (const QModelIndex &row : pane->tableView()->selectionModel()->selectedRows())
            options.selectedRows.push_back(row.row());
    }
    return options;
}

void DocumentPrinting::pageSetup()
{
    PrintOptions current;
    current.orientation = pageLayout().orientation();
    const std::unique_ptr<QPrinter> printer = makePrinter(current);
    QPageSetupDialog dialog(printer.get(), &m_window);
    // Only exec() hands the dialog's choice to the printer on this platform.
    if (dialog.exec() == QDialog::Accepted)
        setPageLayout(printer->pageLayout());
}

void DocumentPrinting::print(const PrintOptions &options, std::shared_ptr<Record> keep, QWidget *parent)
{
    QWidget *owner = dialogParent(parent);
    std::shared_ptr<QPrinter> printer = makePrinter(options);
    auto *dialog = new QPrintDialog(printer.get(), owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QAbstractPrintDialog::PrintSelection,
                      editing::isListScreen(options.screen) && !options.selectedRows.empty());
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (options.selectedRowsOnly)
        printer->setPrintRange(QPrinter::Selection);
    connect(dialog, &QDialog::accepted, this, [this, printer, options, keep, owner] {
        runCommand(owner, [&] { reportFailure(owner, printChosen(*printer, options, owner)); });
    });
    dialog->open();
}

PrintOptions DocumentPrinting::asChosen(const QPrinter &printer, PrintOptions options)
{
    options.selectedRowsOnly = printer.printRange() == QPrinter::Selection;
    options.orientation = printer.pageLayout().orientation();
    return options;
}

Result<> DocumentPrinting::printChosen(QPrinter &printer, PrintOptions options, QWidget *parent)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return printTo(printer, options, parent);
    PrintProgress progress(parent, localized("Printing..."));
    const QPageRanges pages =
        printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    const Result<> written = editing::PdfExport::write(
        m_window.document().database(), asChosen(printer, options), printer.pageLayout(),
        printer.outputFileName(), [&](int done, int total) { return progress.carryOn(done, total); }, pages);
    return progress.wasCancelled() ? Result<>() : written;
}

Result<> DocumentPrinting::printTo(QPrinter &printer, PrintOptions options, QWidget *parent)
{
    options = asChosen(printer, options);
    printer.setFullPage(true);
    editing::PrintRenderer renderer(m_window.document().database(), options,
                                    editing::PageGeometry::fromPageLayout(printer.pageLayout()));
    QPainter painter;
    if (!painter.begin(&printer))
        return Failure{localized("The printer could not be started.")};
    PrintProgress progress(parent, localized("Printing..."));
    const QPageRanges pages =
        printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    const Result<> drawn = renderer.drawPages(
        painter, printer, pages, [&](int done, int total) { return progress.carryOn(done, total); });
    if (progress.wasCancelled())
        printer.abort();
    painter.end();
    if (progress.wasCancelled())
        return {};
    if (drawn && printer.printerState() == QPrinter::Error)
        return Failure{localized("The printer reported an error; the printout may be incomplete.")};
    return drawn;
}

QPrintPreviewDialog *DocumentPrinting::preview(const PrintOptions &options, std::shared_ptr<Record> keep,
                                               QWidget *parent)
{
    QWidget *owner = dialogParent(parent);
    std::shared_ptr<QPrinter> printer = makePrinter(options);
    printer->setFullPage(true);
    auto *dialog = new QPrintPreviewDialog(printer.get(), owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QPrintPreviewDialog::paintRequested, this,
            [this, options, keep, dialog](QPrinter *target) {
                runCommand(dialog, [&] { reportFailure(dialog, printTo(*target, options, dialog)); });
            });
    // The preview's own way to a PDF file: what it shows, on the paper it shows.
    if (auto *toolbar = dialog->findChild<QToolBar *>()) {
        toolbar->addSeparator();
        QAction *pdf = toolbar->addAction(localized("Export as PDF..."));
        connect(pdf, &QAction::triggered, this, [this, options, printer, keep, dialog] {
            PrintOptions shown = options;
            shown.orientation = printer->pageLayout().orientation();
            runCommand(dialog, [&] { exportPdf(shown, dialog, printer->pageLayout()); });
        });
    }
    dialog->open();
    return dialog;
}

void DocumentPrinting::exportPdf(const PrintOptions &options, QWidget *parent,
                                 std::optional<QPageLayout> layout)
{
    QWidget *owner = dialogParent(parent);
    const CatalogueDocument &document = m_window.document();
    UserInteraction::PathChoice choice;
    choice.title = localized("Export as PDF");
    choice.folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    choice.proposedName = localized("%1 - %2.pdf").arg(document.displayName(), printoutName(options));
    choice.filters = QStringList{localized("PDF Files (*.pdf)")};
    QString path = UserInteraction::instance().choosePathToSave(owner, choice);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    PrintProgress progress(owner, localized("Exporting as PDF..."));
    const Result<> written =
        editing::PdfExport::write(document.database(), options, layout.value_or(pageLayout()), path,
                                  [&](int done, int total) { return progress.carryOn(done, total); });
    if (!progress.wasCancelled())
        reportFailure(owner, written);
}

} // namespace velumark::gui
