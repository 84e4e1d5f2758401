#pragma once

#include "interchange/device/NetService.h"
#include "interchange/device/ServiceIdentity.h"

#include <QObject>
#include <QString>
#include <memory>

namespace velumark {

// Finds the network services of one type in the default domain and resolves them. The rest of
// the program sees only this interface, never the discovery library behind it.
//
// Every signal is delivered from the event loop, never from inside startBrowsing() or
// stopBrowsing(), so receivers may start, stop or destroy the discovery from their slots.
// After stopBrowsing() no signal of the ended search arrives.
class ServiceDiscovery : public QObject
{
    Q_OBJECT

public:
    // The discovery of this system (the Avahi daemon).
    static std::unique_ptr<ServiceDiscovery> create(QObject *parent = nullptr);

    ~ServiceDiscovery() override;

    // Starts searching for services of the type, e.g. "_http._tcp"; a search already running
    // is ended first.
    virtual void startBrowsing(const QString &serviceType) = 0;
    // Ends the search and forgets every service found.
    virtual void stopBrowsing() = 0;
    virtual bool isBrowsing() const = 0;

signals:
    // A service appeared and was resolved; reported once, however many interfaces and
    // protocols it is seen on.
    void serviceFound(const velumark::NetService &service);
    // A service reported by serviceFound is gone.
    void serviceLost(const velumark::ServiceIdentity &identity);
    // The search cannot start or has ended by itself; message says why, for the user. Every
    // service found so far counts as lost.
    void unavailable(const QString &message);

protected:
    explicit ServiceDiscovery(QObject *parent = nullptr);
};

} // namespace velumark
