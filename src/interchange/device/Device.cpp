#include "interchange/device/Device.h"

namespace velumark {

Device::Device(const QString &deviceName, const QString &serviceName, int serviceNumber,
               const QString &serviceVersion)
    : m_deviceName(deviceName), m_serviceName(serviceName), m_serviceNumber(serviceNumber),
      m_serviceVersion(serviceVersion)
{}

} // namespace velumark
