#pragma once

#include "interchange/device/ServiceIdentity.h"

#include <compare>
#include <map>
#include <set>

namespace velumark {

// Which interfaces and protocols a service is seen on. A browser reports one service once for
// each of them; the service is present from the first report until the last one is withdrawn.
class ServiceInstances
{
public:
    struct Instance
    {
        int interfaceIndex;
        int protocol;
        auto operator<=>(const Instance &) const = default;
    };

    // True when the service was not present before.
    bool add(const ServiceIdentity &service, Instance instance);
    // True when this was the service's last instance; an instance never added changes nothing.
    bool remove(const ServiceIdentity &service, Instance instance);
    // The instances the service is seen on now, in a fixed order; empty when it is absent.
    std::set<Instance> instancesOf(const ServiceIdentity &service) const;
    void clear();

private:
    std::map<ServiceIdentity, std::set<Instance>> m_instances;
};

} // namespace velumark
