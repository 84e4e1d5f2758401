#include "interchange/device/ServiceInstances.h"

namespace velumark {

bool ServiceInstances::add(const ServiceIdentity &service, Instance instance)
{
    auto &instances = m_instances[service];
    const bool appeared = instances.empty();
    instances.insert(instance);
    return appeared;
}

bool ServiceInstances::remove(const ServiceIdentity &service, Instance instance)
{
    const auto found = m_instances.find(service);
    if (found == m_instances.end() || found->second.erase(instance) == 0)
        return false;
    if (!found->second.empty())
        return false;
    m_instances.erase(found);
    return true;
}

std::set<ServiceInstances::Instance> ServiceInstances::instancesOf(const ServiceIdentity &service) const
{
    const auto found = m_instances.find(service);
    return found == m_instances.end() ? std::set<Instance>() : found->second;
}

void ServiceInstances::clear()
{
    m_instances.clear();
}

} // namespace velumark
