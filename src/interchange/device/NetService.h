#pragma once

#include "interchange/device/ServiceIdentity.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

namespace velumark {

// A resolved network service: where it answers and what its TXT record says.
struct NetService
{
    ServiceIdentity identity;
    QHostAddress address; // the address the resolver returned (an IPv6 link-local one with its scope)
    quint16 port = 0;
    // TXT record entries by key in lower case (keys are case-insensitive). A key without "=" has
    // a null value, "key=" an empty one; of a key given twice one value is kept.
    QHash<QString, QByteArray> txtRecord;
};

} // namespace velumark
