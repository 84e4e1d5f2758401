#pragma once

#include <QString>
#include <compare>

namespace velumark {

// The name, type and domain under which a network service is announced: together they name
// one service, whichever interfaces and protocols it is seen on.
struct ServiceIdentity
{
    QString name;   // as announced, e.g. "Ann's iPad"
    QString type;   // e.g. "_http._tcp"
    QString domain; // e.g. "local"

    bool operator==(const ServiceIdentity &) const = default;
    std::weak_ordering operator<=>(const ServiceIdentity &) const = default;
};

} // namespace velumark
