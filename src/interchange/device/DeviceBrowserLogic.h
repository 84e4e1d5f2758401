#pragma once

#include "interchange/TransferScope.h"
#include "interchange/device/Device.h"
#include "interchange/device/NetService.h"
#include "interchange/device/ServiceIdentity.h"

#include <QList>
#include <QObject>
#include <QString>

namespace velumark {

class ServiceDiscovery;

// The device browser without its windows: the devices found on the network, the message and the
// state of the action button of the import and export windows, and the addresses a transfer
// uses. The windows show what it holds and redraw on displayChanged(); the command line prints it.
class DeviceBrowserLogic : public QObject
{
    Q_OBJECT

public:
    explicit DeviceBrowserLogic(ServiceDiscovery &discovery, QObject *parent = nullptr);

    // Tag 0 opens the import window, 1 the export window: browsing starts, the action button is
    // disabled and the display refreshed. Any other tag does nothing and gives false.
    bool presentDeviceBrowser(int tag);
    void browseForDevices();
    // Stops the search and forgets every device.
    void endBrowsing();

    // The devices found, in the order they were resolved, and their services at the same index.
    const QList<Device> &deviceArray() const { return m_deviceArray; }
    const QList<NetService> &serviceArray() const { return m_serviceArray; }

    // True for the import window, false for the export window.
    bool isImport() const { return m_isImport; }
    void setImport(bool isImport);
    // The import window's choice, by the tags of its radio buttons: "Restore Complete Database",
    // "Import Artworks and Clients", "Import Artworks", "Import Clients".
    TransferScope importSelection() const { return m_importSelection; }
    void setImportSelection(TransferScope choice);
    // The selected row of the device table, -1 for none.
    int selectedRow() const { return m_selectedRow; }
    void setSelectedRow(int row);

    // What the window shows: its message and whether its Import or Export button is enabled.
    QString message() const { return m_message; }
    bool isActionEnabled() const { return m_actionEnabled; }
    // Why devices cannot be found (no Avahi daemon); empty while the search works.
    QString discoveryProblem() const { return m_discoveryProblem; }

    void refreshDisplay();
    void refreshImportDisplay();
    void refreshExportDisplay();

    // The device table: one row per device, "Name (Application vVersion)"; a null text for a
    // row out of range.
    int numberOfRows() const { return int(m_deviceArray.size()); }
    QString rowText(int row) const;

    // "http://address:port" of a resolved service; empty for a service without address.
    static QString getServerFromNetService(const NetService &service);
    // The file a device in the mode serves for the import choice.
    static QString downloadFileName(int mode, TransferScope importSelection);
    // What the import downloads from the selected device; empty with no device selected.
    QString downloadURL() const;
    // Where the export sends the database for the selected device; empty with none selected.
    QString uploadURL() const;

    // Fed by the service discovery.
    void addResolvedService(const NetService &service);
    void removeService(const ServiceIdentity &identity);
    void discoveryUnavailable(const QString &message);

signals:
    // The devices, the selection, the message or the button state may have changed.
    void displayChanged();

private:
    void forgetDevices();
    int indexOfService(const ServiceIdentity &identity) const;
    bool hasSelectedDevice() const;
    // True when there is a selected device to act on; otherwise shows the no-devices or the
    // select-a-device message with the button disabled.
    bool showSelectionProblem(const QString &noDevicesMessage);
    void show(const QString &message, bool actionEnabled);

    ServiceDiscovery &m_discovery;
    QList<Device> m_deviceArray;
    QList<NetService> m_serviceArray;
    bool m_isImport = true;
    TransferScope m_importSelection = TransferScope::Complete;
    int m_selectedRow = -1;
    QString m_message;
    bool m_actionEnabled = false;
    QString m_discoveryProblem;
};

} // namespace velumark
