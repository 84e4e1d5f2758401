#pragma once

#include <QString>

namespace velumark {

// The modes of the mobile application's Tools screen, announced as "type" in its TXT record.
namespace DeviceMode {
constexpr int BackupDatabase = 0;  // serves its database: import here, whole or in part
constexpr int RestoreDatabase = 1; // accepts a database: export from here
constexpr int ExportData = 2;      // serves artworks only or clients only
constexpr int ImportData = 3;      // accepts a database and then asks what to import
} // namespace DeviceMode

// One mobile device found on the network.
class Device
{
public:
    Device() = default;
    Device(const QString &deviceName, const QString &serviceName, int serviceNumber,
           const QString &serviceVersion);

    // The network service's name, as announced.
    QString deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &deviceName) { m_deviceName = deviceName; }
    // The localized name of the announcing application.
    QString serviceName() const { return m_serviceName; }
    void setServiceName(const QString &serviceName) { m_serviceName = serviceName; }
    // The device mode (DeviceMode).
    int serviceNumber() const { return m_serviceNumber; }
    void setServiceNumber(int serviceNumber) { m_serviceNumber = serviceNumber; }
    // The mode as the device's Tools screen names it ("Backup Database", ...).
    QString modeText() const;
    // The announcing application's version.
    QString serviceVersion() const { return m_serviceVersion; }
    void setServiceVersion(const QString &serviceVersion) { m_serviceVersion = serviceVersion; }

private:
    QString m_deviceName;
    QString m_serviceName;
    int m_serviceNumber = 0;
    QString m_serviceVersion;
};

} // namespace velumark
