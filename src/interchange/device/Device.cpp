#include "interchange/device/Device.h"

#include "store/Localization.h"

namespace velumark {

Device::Device(const QString &deviceName, const QString &serviceName, int serviceNumber,
               const QString &serviceVersion)
    : m_deviceName(deviceName), m_serviceName(serviceName), m_serviceNumber(serviceNumber),
      m_serviceVersion(serviceVersion)
{}

QString Device::modeText() const
{
    switch (m_serviceNumber) {
    case DeviceMode::BackupDatabase:
        return localized("Backup Database");
    case DeviceMode::RestoreDatabase:
        return localized("Restore Database");
    case DeviceMode::ExportData:
        return localized("Export Data");
    case DeviceMode::ImportData:
        return localized("Import Data");
    default:
        return localized("Mode %1").arg(m_serviceNumber);
    }
}

} // namespace velumark
