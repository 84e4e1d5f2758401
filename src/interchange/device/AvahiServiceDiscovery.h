#pragma once

#include "interchange/device/QtAvahiPoll.h"
#include "interchange/device/ServiceDiscovery.h"
#include "interchange/device/ServiceInstances.h"

#include <QTimer>
#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <map>
#include <memory>
#include <set>

namespace velumark {

// Service discovery through the Avahi daemon, reached over the system bus, on the Qt event loop.
// A service is resolved through one of the interfaces and protocols it is seen on, the next one
// when that fails or takes longer than two seconds, and reported once it answers.
class AvahiServiceDiscovery : public ServiceDiscovery
{
    Q_OBJECT

public:
    explicit AvahiServiceDiscovery(QObject *parent = nullptr);
    ~AvahiServiceDiscovery() override;

    void startBrowsing(const QString &serviceType) override;
    void stopBrowsing() override;
    bool isBrowsing() const override { return !m_serviceType.isEmpty(); }

    static constexpr int kResolveTimeoutMs = 2000;

private:
    struct ClientFree
    {
        void operator()(AvahiClient *client) const { avahi_client_free(client); }
    };
    struct BrowserFree
    {
        void operator()(AvahiServiceBrowser *browser) const { avahi_service_browser_free(browser); }
    };
    struct ResolverFree
    {
        void operator()(AvahiServiceResolver *resolver) const { avahi_service_resolver_free(resolver); }
    };
    using ClientHandle = std::unique_ptr<AvahiClient, ClientFree>;
    using BrowserHandle = std::unique_ptr<AvahiServiceBrowser, BrowserFree>;
    using ResolverHandle = std::unique_ptr<AvahiServiceResolver, ResolverFree>;

    // One present service: its resolving and whether it has been reported.
    struct Service
    {
        AvahiServiceDiscovery *owner = nullptr;
        ServiceIdentity identity;
        ResolverHandle resolver; // while resolving
        QTimer deadline;
        std::set<ServiceInstances::Instance> tried;
        bool reported = false;
    };

    static void clientCallback(AvahiClient *client, AvahiClientState state, void *userdata);
    static void browserCallback(AvahiServiceBrowser *browser, AvahiIfIndex interface, AvahiProtocol protocol,
                                AvahiBrowserEvent event, const char *name, const char *type,
                                const char *domain, AvahiLookupResultFlags flags, void *userdata);
    static void resolverCallback(AvahiServiceResolver *resolver, AvahiIfIndex interface,
                                 AvahiProtocol protocol, AvahiResolverEvent event, const char *name,
                                 const char *type, const char *domain, const char *hostName,
                                 const AvahiAddress *address, uint16_t port, AvahiStringList *txt,
                                 AvahiLookupResultFlags flags, void *userdata);

    void startBrowser(AvahiClient *client);
    void serviceAppeared(AvahiClient *client, const ServiceIdentity &identity,
                         ServiceInstances::Instance instance);
    void serviceDisappeared(const ServiceIdentity &identity, ServiceInstances::Instance instance);
    // Starts resolving on an instance not tried yet; gives up quietly when none is left.
    void resolveNext(AvahiClient *client, Service &service);
    void resolved(Service &service, NetService found);
    void resolveFailed(Service &service);
    // Signals go out from the event loop, and only while the search that produced them runs.
    template <typename Emit> void deliverLater(Emit emitSignal);
    // Ends the search from the event loop (never inside Avahi's own callbacks) and reports why.
    void failLater(const QString &message);

    QtAvahiPoll m_poll; // declared first: every Avahi object below is freed before it
    QString m_serviceType;
    ClientHandle m_client;
    BrowserHandle m_browser;
    ServiceInstances m_instances;
    std::map<ServiceIdentity, std::unique_ptr<Service>> m_services;
    quint64 m_search = 0; // counts searches, so that late signals of an ended one are dropped
};

} // namespace velumark
