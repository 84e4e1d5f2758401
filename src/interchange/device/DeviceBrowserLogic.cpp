#include "interchange/device/DeviceBrowserLogic.h"

#include "interchange/device/ServiceDiscovery.h"
#include "store/Localization.h"

#include <QUrl>

namespace velumark {

namespace {

const QString kServiceType = QStringLiteral("_http._tcp");
const QString kVelumark = QStringLiteral("Velumark");
const QString kVelumarkLite = QStringLiteral("Velumark Lite");

QString txtText(const NetService &service, const QString &key)
{
    return QString::fromUtf8(service.txtRecord.value(key));
}

} // namespace

DeviceBrowserLogic::DeviceBrowserLogic(ServiceDiscovery &discovery, QObject *parent)
    : QObject(parent), m_discovery(discovery)
{
    connect(&discovery, &ServiceDiscovery::serviceFound, this, &DeviceBrowserLogic::addResolvedService);
    connect(&discovery, &ServiceDiscovery::serviceLost, this, &DeviceBrowserLogic::removeService);
    connect(&discovery, &ServiceDiscovery::unavailable, this, &DeviceBrowserLogic::discoveryUnavailable);
}

bool DeviceBrowserLogic::presentDeviceBrowser(int tag)
{
    if (tag != 0 && tag != 1)
        return false;
    browseForDevices();
    m_isImport = tag == 0;
    m_actionEnabled = false;
    refreshDisplay();
    return true;
}

void DeviceBrowserLogic::browseForDevices()
{
    // A new search reports every device again, and says nothing of those lost meanwhile.
    forgetDevices();
    m_discoveryProblem.clear();
    m_discovery.startBrowsing(kServiceType);
}

void DeviceBrowserLogic::endBrowsing()
{
    m_discovery.stopBrowsing();
    forgetDevices();
}

void DeviceBrowserLogic::forgetDevices()
{
    m_deviceArray.clear();
    m_serviceArray.clear();
    m_selectedRow = -1;
}

void DeviceBrowserLogic::setImport(bool isImport)
{
    m_isImport = isImport;
    refreshDisplay();
}

void DeviceBrowserLogic::setImportSelection(TransferScope choice)
{
    m_importSelection = choice;
    refreshDisplay();
}

void DeviceBrowserLogic::setSelectedRow(int row)
{
    m_selectedRow = row;
    refreshDisplay();
}

void DeviceBrowserLogic::refreshDisplay()
{
    if (m_isImport)
        refreshImportDisplay();
    else
        refreshExportDisplay();
}

void DeviceBrowserLogic::refreshImportDisplay()
{
    if (!showSelectionProblem(
            localized("No devices found. Load Velumark on your iPhone, iPad, or iPod touch, "
                      "and select Backup Database or Export Data on the Tools screen.")))
        return;
    const QString importArtworks =
        localized("Click the Import button to import the artworks from your device.");
    const QString importClients =
        localized("Click the Import button to import the clients from your device.");
    switch (m_deviceArray.at(m_selectedRow).serviceNumber()) {
    case DeviceMode::BackupDatabase:
        switch (m_importSelection) {
        case TransferScope::Complete:
            return show(
                localized("Click the Import button to restore the complete database from your device."),
                true);
        case TransferScope::ArtworksAndClients:
            return show(localized("Click the Import button to restore only the artworks and clients in the "
                                  "database from your device."),
                        true);
        case TransferScope::Artworks:
            return show(importArtworks, true);
        case TransferScope::Clients:
            return show(importClients, true);
        }
        break;
    case DeviceMode::RestoreDatabase:
        return show(localized("Restore Database is selected on your device. Select either Backup Database or "
                              "Export Data instead."),
                    false);
    case DeviceMode::ExportData:
        switch (m_importSelection) {
        case TransferScope::Complete:
            return show(localized("Export Data is selected on your device. Only artworks or clients can be "
                                  "imported in this mode."),
                        false);
        case TransferScope::ArtworksAndClients:
            return show(localized("Export Data is selected on your device. Select Backup Database instead to "
                                  "restore both artworks and clients."),
                        false);
        case TransferScope::Artworks:
            return show(importArtworks, true);
        case TransferScope::Clients:
            return show(importClients, true);
        }
        break;
    case DeviceMode::ImportData:
        return show(
            localized("Import Data is selected on your device. Select either Backup Database or Export "
                      "Data instead."),
            false);
    default:
        // A mode this program does not know: no advice, and the button stays as it was.
        return show(QString(), m_actionEnabled);
    }
}

void DeviceBrowserLogic::refreshExportDisplay()
{
    if (!showSelectionProblem(
            localized("No devices found. Load Velumark on your iPhone, iPad, or iPod touch, "
                      "and select Restore Database or Import Data on the Tools screen.")))
        return;
    const QString sendDatabase = localized("Click the Export button to send the database to your device.");
    switch (m_deviceArray.at(m_selectedRow).serviceNumber()) {
    case DeviceMode::BackupDatabase:
        return show(localized("Backup Database is selected on your device. Select either Restore Database or "
                              "Import Data instead."),
                    false);
    case DeviceMode::RestoreDatabase:
        return show(sendDatabase, true);
    case DeviceMode::ExportData:
        return show(
            localized("Export Data is selected on your device. Select either Restore Database or Import "
                      "Data instead."),
            false);
    case DeviceMode::ImportData:
        return show(
            localized("%1 %2").arg(sendDatabase, localized("The app will ask what you want to import.")),
            true);
    default:
        return show(QString(), m_actionEnabled);
    }
}

bool DeviceBrowserLogic::showSelectionProblem(const QString &noDevicesMessage)
{
    if (hasSelectedDevice())
        return true;
    m_selectedRow = -1;
    if (m_deviceArray.isEmpty())
        show(m_discoveryProblem.isEmpty() ? noDevicesMessage : m_discoveryProblem, false);
    else
        show(localized("Select a device from the list."), false);
    return false;
}

void DeviceBrowserLogic::show(const QString &message, bool actionEnabled)
{
    m_message = message;
    m_actionEnabled = actionEnabled;
    emit displayChanged();
}

bool DeviceBrowserLogic::hasSelectedDevice() const
{
    return m_selectedRow >= 0 && m_selectedRow < m_deviceArray.size();
}

QString DeviceBrowserLogic::rowText(int row) const
{
    if (row < 0 || row >= m_deviceArray.size())
        return {};
    const Device &device = m_deviceArray.at(row);
    // One arg() call, so that a "%1" inside a device name stays as it is.
    return localized("%1 (%2 v%3)").arg(device.deviceName(), device.serviceName(), device.serviceVersion());
}

QString DeviceBrowserLogic::getServerFromNetService(const NetService &service)
{
    if (service.address.isNull())
        return {};
    // QUrl puts an IPv6 address in brackets and writes a zone as "%25zone".
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(service.address.toString());
    url.setPort(service.port);
    return url.toString();
}

QString DeviceBrowserLogic::downloadFileName(int mode, TransferScope importSelection)
{
    if (importSelection != TransferScope::Complete && mode != DeviceMode::BackupDatabase) {
        if (importSelection == TransferScope::Artworks)
            return QStringLiteral("velumark_artworks.vdbi");
        if (importSelection == TransferScope::Clients)
            return QStringLiteral("velumark_clients.vdbi");
    }
    return QStringLiteral("velumark.vdbi");
}

QString DeviceBrowserLogic::downloadURL() const
{
    if (!hasSelectedDevice())
        return {};
    const QString fileName =
        downloadFileName(m_deviceArray.at(m_selectedRow).serviceNumber(), m_importSelection);
    return QStringLiteral("%1/%2").arg(getServerFromNetService(m_serviceArray.at(m_selectedRow)), fileName);
}

QString DeviceBrowserLogic::uploadURL() const
{
    return hasSelectedDevice() ? getServerFromNetService(m_serviceArray.at(m_selectedRow)) : QString();
}

void DeviceBrowserLogic::addResolvedService(const NetService &service)
{
    if (indexOfService(service.identity) >= 0)
        return;
    // Only a peer that can be reached and says what it is, in a mode written as a number, is listed.
    const auto protocol = service.address.protocol();
    if ((protocol != QAbstractSocket::IPv4Protocol && protocol != QAbstractSocket::IPv6Protocol) ||
        service.port == 0)
        return;
    const QString name = txtText(service, QStringLiteral("name"));
    if (name != kVelumark && name != kVelumarkLite)
        return;
    bool isNumber = false;
    const int mode = txtText(service, QStringLiteral("type")).trimmed().toInt(&isNumber);
    if (!isNumber)
        return;
    m_deviceArray.append(Device(service.identity.name,
                                name == kVelumark ? localized("Velumark") : localized("Velumark Lite"), mode,
                                txtText(service, QStringLiteral("version"))));
    m_serviceArray.append(service);
    refreshDisplay();
}

void DeviceBrowserLogic::removeService(const ServiceIdentity &identity)
{
    const int index = indexOfService(identity);
    if (index < 0)
        return;
    m_deviceArray.removeAt(index);
    m_serviceArray.removeAt(index);
    // The selection stays with the device it was on; a lost device takes it along.
    if (m_selectedRow == index)
        m_selectedRow = -1;
    else if (m_selectedRow > index)
        --m_selectedRow;
    refreshDisplay();
}

void DeviceBrowserLogic::discoveryUnavailable(const QString &message)
{
    forgetDevices();
    m_discoveryProblem = message;
    refreshDisplay();
}

int DeviceBrowserLogic::indexOfService(const ServiceIdentity &identity) const
{
    for (int index = 0; index < m_serviceArray.size(); ++index) {
        if (m_serviceArray.at(index).identity == identity)
            return index;
    }
    return -1;
}

} // namespace velumark
