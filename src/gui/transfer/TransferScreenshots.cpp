#include "gui/transfer/TransferScreenshots.h"

#include "gui/shell/ScreenshotTaker.h"
#include "gui/shell/VelumarkAppDelegate.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/ContactsWindow.h"
#include "gui/transfer/DeviceWindow.h"
#include "gui/transfer/ProgressWindow.h"
#include "gui/transfer/ReportBrowser.h"
#include "gui/transfer/TransferWindows.h"
#include "gui/window/DocumentWindow.h"
#include "interchange/device/DeviceBrowser.h"
#include "store/Localization.h"

#include <QPointer>
#include <memory>

namespace velumark::gui {

namespace {

// A subject whose window is made by `make` and closed again afterwards.
template <typename Make> ScreenshotTaker::Subject closingSubject(Make make)
{
    auto shown = std::make_shared<QPointer<QWidget>>();
    return {[make, shown]() -> QWidget * { return *shown = make(); },
            [shown] {
                if (*shown)
                    (*shown)->close();
            }};
}

} // namespace

void addTransferScreenshotSubjects(ScreenshotTaker &taker, VelumarkAppDelegate &delegate)
{
    TransferWindows &windows = delegate.transferWindows();
    taker.addSubject(QStringLiteral("import-csv"), closingSubject([&windows]() -> QWidget * {
                         return windows.presentImportExportBrowser(ImportExportBrowser::ImportCsv);
                     }));
    taker.addSubject(QStringLiteral("export-vdbi"), closingSubject([&windows]() -> QWidget * {
                         return windows.presentImportExportBrowser(ImportExportBrowser::ExportVdbi);
                     }));
    taker.addSubject(QStringLiteral("report"),
                     closingSubject([&windows]() -> QWidget * { return windows.presentReportBrowser(); }));
    taker.addSubject(QStringLiteral("contacts"),
                     closingSubject([&windows]() -> QWidget * { return windows.presentAddressBook(); }));
    ScreenshotTaker::Subject deviceImport =
        closingSubject([&windows]() -> QWidget * { return windows.presentDeviceBrowser(0); });
    // Discovery takes a moment: wait for the first device, or for the word that none can be found.
    deviceImport.ready = [&windows] {
        const DeviceBrowserLogic &logic = windows.deviceBrowser().logic();
        return logic.numberOfRows() > 0 || !logic.discoveryProblem().isEmpty();
    };
    taker.addSubject(QStringLiteral("device-import"), std::move(deviceImport));
    taker.addSubject(QStringLiteral("progress"), closingSubject([&delegate]() -> QWidget * {
                         DocumentWindow *window = delegate.documents().mainWindow();
                         if (!window)
                             return nullptr;
                         ProgressWindow::Texts texts;
                         texts.title = localized("Importing Database");
                         auto *progress = new ProgressWindow(window, texts);
                         progress->progressUpdate(40);
                         progress->open();
                         return progress;
                     }));
}

} // namespace velumark::gui
