#pragma once

#include "gui/transfer/ImportExportBrowser.h"

#include <QObject>
#include <QString>
#include <memory>

namespace velumark {
class DeviceBrowser;
class InterchangeHandOver;
} // namespace velumark

namespace velumark::gui {

class ActionManager;
class ContactsWindow;
class DeviceWindow;
class ReportBrowser;
class VelumarkDocumentController;

// The windows that bring data in and out of the main catalogue: the import and export browsers,
// the report browser and the contacts window, opened from the menus (and for an interchange file
// opened from the file manager). One operation runs at a time.
class TransferWindows : public QObject
{
    Q_OBJECT
public:
    TransferWindows(ActionManager &actions, VelumarkDocumentController &documents, QObject *parent = nullptr);
    ~TransferWindows() override;

    InterchangeHandOver &handOver() const { return *m_handOver; }

    ImportExportBrowser *presentImportExportBrowser(ImportExportBrowser::DatabaseType type,
                                                    const QString &path = {});
    ReportBrowser *presentReportBrowser();
    ContactsWindow *presentAddressBook();
    // The import (tag 0) or export (tag 1) window of the device transfer.
    DeviceWindow *presentDeviceBrowser(int tag);
    // Made at its first use; it lives for the run.
    DeviceBrowser &deviceBrowser();

private:
    QWidget *mainWindow() const;

    VelumarkDocumentController &m_documents;
    std::unique_ptr<InterchangeHandOver> m_handOver;
    std::unique_ptr<DeviceBrowser> m_deviceBrowser;
};

} // namespace velumark::gui
