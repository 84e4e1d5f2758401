#pragma once

#include "editing/PrintOptions.h"
#include "store/Result.h"

#include <QObject>
#include <QPageLayout>
#include <memory>
#include <optional>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace velumark {
class Record;
}

namespace velumark::gui {

class DocumentWindow;

// Printing for one catalogue window: Page Setup (kept with the catalogue's settings), Print with
// the system's print dialog, Print Preview and Export as PDF, all drawn by the print renderer.
// The dialogs are window-modal. A record printed from values on screen is kept alive by `keep`
// until the printout is done.
class DocumentPrinting : public QObject
{
    Q_OBJECT
public:
    // The printing of the window, made on first use.
    static DocumentPrinting &of(DocumentWindow &window);

    // The catalogue's page setup; the default page until one was chosen.
    QPageLayout pageLayout() const;
    void setPageLayout(const QPageLayout &layout);

    // What the print command prints now: the list shown, with its selected rows.
    editing::PrintOptions currentChoice() const;

    void pageSetup();
    // `parent`: the window the dialogs belong to (a record's sheet), the catalogue window when null.
    void print(const editing::PrintOptions &options, std::shared_ptr<Record> keep = {},
               QWidget *parent = nullptr);
    QPrintPreviewDialog *preview(const editing::PrintOptions &options, std::shared_ptr<Record> keep = {},
                                 QWidget *parent = nullptr);
    // On the catalogue's page setup unless a layout is given (the one a preview shows).
    void exportPdf(const editing::PrintOptions &options, QWidget *parent = nullptr,
                   std::optional<QPageLayout> layout = std::nullopt);

    // Draws the printout onto a printer set up by a print dialog (or a test): its page range,
    // and the selected rows when it prints the selection. Shows progress over `parent`.
    Result<> printTo(QPrinter &printer, editing::PrintOptions options, QWidget *parent);
    // What the print dialog chose: a printer, or a PDF file ("Print to File"), which is written
    // as Export as PDF writes it, so that a failure leaves nothing half-written under its name.
    Result<> printChosen(QPrinter &printer, editing::PrintOptions options, QWidget *parent);

private:
    explicit DocumentPrinting(DocumentWindow &window);
    // A printer on the catalogue's page setup in the options' orientation.
    std::unique_ptr<QPrinter> makePrinter(const editing::PrintOptions &options) const;
    QWidget *dialogParent(QWidget *parent) const;
    // The print range and orientation the printer was given.
    static editing::PrintOptions asChosen(const QPrinter &printer, editing::PrintOptions options);

    DocumentWindow &m_window;
};

} // namespace velumark::gui
