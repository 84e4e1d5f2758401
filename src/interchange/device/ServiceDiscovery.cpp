#include "interchange/device/ServiceDiscovery.h"

#include "interchange/device/AvahiServiceDiscovery.h"

namespace velumark {

ServiceDiscovery::ServiceDiscovery(QObject *parent) : QObject(parent) {}

ServiceDiscovery::~ServiceDiscovery() = default;

std::unique_ptr<ServiceDiscovery> ServiceDiscovery::create(QObject *parent)
{
    return std::make_unique<AvahiServiceDiscovery>(parent);
}

} // namespace velumark
