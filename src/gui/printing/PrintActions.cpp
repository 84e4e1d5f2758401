#include "gui/printing/PrintActions.h"

#include "gui/printing/DocumentPrinting.h"
#include "gui/shell/ActionManager.h"

namespace velumark::gui {

void connectPrintActions(ActionManager &actions, std::function<DocumentWindow *()> mainWindow)
{
    const auto onMainWindow = [&actions, mainWindow](ActionId id, void (*command)(DocumentPrinting &)) {
        actions.setHandler(id, [mainWindow, command] {
            if (DocumentWindow *window = mainWindow())
                command(DocumentPrinting::of(*window));
        });
        actions.setAvailable(id, true);
    };
    onMainWindow(ActionId::PageSetup, [](DocumentPrinting &printing) { printing.pageSetup(); });
    onMainWindow(ActionId::PrintPreview,
                 [](DocumentPrinting &printing) { printing.preview(printing.currentChoice()); });
    onMainWindow(ActionId::Print,
                 [](DocumentPrinting &printing) { printing.print(printing.currentChoice()); });
    onMainWindow(ActionId::ExportPdf,
                 [](DocumentPrinting &printing) { printing.exportPdf(printing.currentChoice()); });
}

} // namespace velumark::gui
