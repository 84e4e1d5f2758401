#include "gui/transfer/TransferWindows.h"

#include "gui/shell/ActionManager.h"
#include "gui/shell/BuildConfiguration.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/transfer/ContactsWindow.h"
#include "gui/transfer/DeviceWindow.h"
#include "gui/transfer/ReportBrowser.h"
#include "gui/window/DocumentWindow.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/LongOperation.h"
#include "interchange/device/DeviceBrowser.h"
#include "interchange/device/ServiceDiscovery.h"

namespace velumark::gui {

TransferWindows::TransferWindows(ActionManager &actions, VelumarkDocumentController &documents,
                                 QObject *parent)
    : QObject(parent), m_documents(documents), m_handOver(std::make_unique<InterchangeHandOver>())
{
    using Type = ImportExportBrowser::DatabaseType;
    const std::pair<ActionId, Type> browsers[] = {
        {ActionId::ImportVdbi, Type::ImportVdbi},         {ActionId::ImportDatabase, Type::ImportDatabase},
        {ActionId::ImportCsv, Type::ImportCsv},           {ActionId::ExportVdbi, Type::ExportVdbi},
        {ActionId::ExportDatabase, Type::ExportDatabase}, {ActionId::ExportCsv, Type::ExportCsv},
    };
    for (const auto &[id, type] : browsers) {
        actions.setHandler(id, [this, type = type] { presentImportExportBrowser(type); });
        actions.setAvailable(id, true);
    }
    for (const auto &[id, tag] :
         {std::pair{ActionId::ImportDevice, 0}, std::pair{ActionId::ExportDevice, 1}}) {
        actions.setHandler(id, [this, tag = tag] { presentDeviceBrowser(tag); });
        actions.setAvailable(id, true);
    }
    actions.setHandler(ActionId::ExportReport, [this] { presentReportBrowser(); });
    actions.setAvailable(ActionId::ExportReport, true);
    actions.setHandler(ActionId::AddressBook, [this] { presentAddressBook(); });
    actions.setAvailable(ActionId::AddressBook, true);
    documents.setInterchangeHandler([this](const QString &path) {
        // Opened at launch, before any catalogue window: the browser follows once one is shown.
        if (mainWindow())
            presentImportExportBrowser(ImportExportBrowser::ImportVdbi, path);
        else
            QMetaObject::invokeMethod(
                this, [this, path] { presentImportExportBrowser(ImportExportBrowser::ImportVdbi, path); },
                Qt::QueuedConnection);
    });
}

TransferWindows::~TransferWindows()
{
    // The device browser uses the hand-over until it goes.
    m_deviceBrowser.reset();
}

DeviceBrowser &TransferWindows::deviceBrowser()
{
    if (!m_deviceBrowser)
        m_deviceBrowser = std::make_unique<DeviceBrowser>(ServiceDiscovery::create(), *m_handOver);
    return *m_deviceBrowser;
}

DeviceWindow *TransferWindows::presentDeviceBrowser(int tag)
{
    QWidget *parent = mainWindow();
    if (!parent || (tag != 0 && tag != 1))
        return nullptr;
    auto *window = new DeviceWindow(deviceBrowser(), tag == 0, parent);
    window->present();
    return window;
}

QWidget *TransferWindows::mainWindow() const
{
    return m_documents.mainWindow();
}

ImportExportBrowser *TransferWindows::presentImportExportBrowser(ImportExportBrowser::DatabaseType type,
                                                                 const QString &path)
{
    QWidget *parent = mainWindow();
    if (!parent)
        return nullptr;
    auto *browser =
        new ImportExportBrowser(type, *m_handOver, QString::fromUtf8(build::kCsvTemplateAddress), parent);
    browser->present(path);
    return browser;
}

ReportBrowser *TransferWindows::presentReportBrowser()
{
    QWidget *parent = mainWindow();
    if (!parent)
        return nullptr;
    auto *browser = new ReportBrowser(*m_handOver, parent);
    browser->present();
    return browser;
}

ContactsWindow *TransferWindows::presentAddressBook()
{
    DocumentWindow *window = m_documents.mainWindow();
    return window ? ContactsWindow::present(*window) : nullptr;
}

} // namespace velumark::gui
