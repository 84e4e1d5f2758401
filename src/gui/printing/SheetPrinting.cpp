#include "gui/printing/SheetPrinting.h"

#include "editing/PrintOptions.h"
#include "gui/editors/RecordSheet.h"
#include "gui/printing/DocumentPrinting.h"
#include "gui/window/DocumentWindow.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Localization.h"

#include <QMenu>
#include <QPushButton>
#include <memory>

namespace velumark::gui {

namespace {

using editing::PrintScreen;

DocumentWindow *catalogueWindow(QWidget &sheet)
{
    for (QWidget *widget = sheet.parentWidget(); widget; widget = widget->parentWidget()) {
        if (auto *window = qobject_cast<DocumentWindow *>(widget))
            return window;
    }
    return nullptr;
}

PrintScreen sheetScreen(const Record &record)
{
    if (dynamic_cast<const Artwork *>(&record))
        return PrintScreen::ArtworkSheet;
    if (dynamic_cast<const Client *>(&record))
        return PrintScreen::ClientSheet;
    return PrintScreen::SubmissionSheet;
}

void print(RecordSheet &sheet, DocumentWindow &window, std::shared_ptr<Record> shown, PrintScreen screen)
{
    editing::PrintOptions options;
    options.screen = screen;
    options.record = shown.get();
    DocumentPrinting::of(window).print(options, std::move(shown), &sheet);
}

} // namespace

void SheetPrinting::wire(RecordSheet &sheet, QPushButton &printButton)
{
    DocumentWindow *window = catalogueWindow(sheet);
    if (!window)
        return;
    printButton.show();
    QObject::connect(&printButton, &QPushButton::clicked, &sheet, [&sheet, &printButton, window] {
        // What the fields show at this moment, kept until the printout is done.
        std::shared_ptr<Record> shown = sheet.shownRecord();
        const PrintScreen screen = sheetScreen(*shown);
        if (screen != PrintScreen::ClientSheet) {
            print(sheet, *window, std::move(shown), screen);
            return;
        }
        auto *menu = new QMenu(&sheet);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addAction(localized("Client Sheet..."), &sheet,
                        [&sheet, window, shown] { print(sheet, *window, shown, PrintScreen::ClientSheet); });
        menu->addAction(localized("What Is Out Where..."), &sheet, [&sheet, window, shown] {
            print(sheet, *window, shown, PrintScreen::ClientOutstanding);
        });
        menu->popup(printButton.mapToGlobal(QPoint(0, printButton.height())));
    });
}

} // namespace velumark::gui
