#include "interchange/device/AvahiServiceDiscovery.h"

#include "store/Localization.h"

#include <QNetworkInterface>
#include <QtEndian>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

namespace velumark {

namespace {

struct AvahiFree
{
    void operator()(char *text) const { avahi_free(text); }
};
using AvahiText = std::unique_ptr<char, AvahiFree>;

QString errorText(int error)
{
    return QString::fromUtf8(avahi_strerror(error));
}

QString unreachableMessage(int error)
{
    return localized("Devices cannot be found because the Avahi daemon is not reachable (%1). "
                     "Start avahi-daemon and try again.")
        .arg(errorText(error));
}

ServiceIdentity identityOf(const char *name, const char *type, const char *domain)
{
    return {QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain)};
}

QHostAddress hostAddress(const AvahiAddress *address, AvahiIfIndex interface)
{
    if (!address)
        return {};
    switch (address->proto) {
    case AVAHI_PROTO_INET:
        return QHostAddress(qFromBigEndian<quint32>(address->data.ipv4.address));
    case AVAHI_PROTO_INET6: {
        QHostAddress result(address->data.ipv6.address);
        // A link-local address is only reachable through the interface it was seen on.
        if (result.isLinkLocal())
            result.setScopeId(QNetworkInterface::interfaceNameFromIndex(interface));
        return result;
    }
    default:
        return {};
    }
}

QHash<QString, QByteArray> txtRecord(AvahiStringList *list)
{
    QHash<QString, QByteArray> record;
    for (AvahiStringList *item = list; item; item = avahi_string_list_get_next(item)) {
        char *rawKey = nullptr;
        char *rawValue = nullptr;
        size_t size = 0;
        if (avahi_string_list_get_pair(item, &rawKey, &rawValue, &size) < 0)
            continue;
        const AvahiText key(rawKey);
        const AvahiText value(rawValue);
        const QString name = QString::fromUtf8(key.get()).toLower();
        if (name.isEmpty() || record.contains(name))
            continue;
        record.insert(name, value ? QByteArray(value.get(), qsizetype(size)) : QByteArray());
    }
    return record;
}

} // namespace

AvahiServiceDiscovery::AvahiServiceDiscovery(QObject *parent) : ServiceDiscovery(parent) {}

AvahiServiceDiscovery::~AvahiServiceDiscovery()
{
    stopBrowsing();
}

void AvahiServiceDiscovery::startBrowsing(const QString &serviceType)
{
    stopBrowsing();
    m_serviceType = serviceType;
    int error = AVAHI_OK;
    // The state callback runs inside avahi_client_new already and may start the browser.
    AvahiClient *client = avahi_client_new(m_poll.poll(), AvahiClientFlags(0), &clientCallback, this, &error);
    if (!client) {
        // Freeing the failed client freed whatever the callback made with it.
        (void)m_browser.release();
        failLater(unreachableMessage(error));
        return;
    }
    m_client.reset(client);
}

void AvahiServiceDiscovery::stopBrowsing()
{
    ++m_search;
    m_services.clear();
    m_instances.clear();
    m_browser.reset();
    m_client.reset();
    m_serviceType.clear();
}

void AvahiServiceDiscovery::clientCallback(AvahiClient *client, AvahiClientState state, void *userdata)
{
    auto *self = static_cast<AvahiServiceDiscovery *>(userdata);
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        if (!self->m_browser)
            self->startBrowser(client);
        break;
    case AVAHI_CLIENT_FAILURE:
        self->failLater(localized("The Avahi daemon stopped (%1), so devices can no longer be found. "
                                  "Start avahi-daemon and try again.")
                            .arg(errorText(avahi_client_errno(client))));
        break;
    case AVAHI_CLIENT_S_REGISTERING:
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_CONNECTING:
        // The daemon (re)registering its own host name leaves browsing as it is; connecting is
        // only reported to clients made to wait for the daemon, which this one is not.
        break;
    }
}

void AvahiServiceDiscovery::startBrowser(AvahiClient *client)
{
    const QByteArray type = m_serviceType.toUtf8();
    m_browser.reset(avahi_service_browser_new(client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, type.constData(),
                                              nullptr, AvahiLookupFlags(0), &browserCallback, this));
    if (!m_browser)
        failLater(unreachableMessage(avahi_client_errno(client)));
}

void AvahiServiceDiscovery::browserCallback(AvahiServiceBrowser *browser, AvahiIfIndex interface,
                                            AvahiProtocol protocol, AvahiBrowserEvent event, const char *name,
                                            const char *type, const char *domain, AvahiLookupResultFlags,
                                            void *userdata)
{
    auto *self = static_cast<AvahiServiceDiscovery *>(userdata);
    AvahiClient *client = avahi_service_browser_get_client(browser);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        self->serviceAppeared(client, identityOf(name, type, domain), {interface, protocol});
        break;
    case AVAHI_BROWSER_REMOVE:
        self->serviceDisappeared(identityOf(name, type, domain), {interface, protocol});
        break;
    case AVAHI_BROWSER_FAILURE:
        self->failLater(
            localized("Searching for devices failed (%1).").arg(errorText(avahi_client_errno(client))));
        break;
    case AVAHI_BROWSER_ALL_FOR_NOW:
    case AVAHI_BROWSER_CACHE_EXHAUSTED:
        break;
    }
}

void AvahiServiceDiscovery::serviceAppeared(AvahiClient *client, const ServiceIdentity &identity,
                                            ServiceInstances::Instance instance)
{
    m_instances.add(identity, instance);
    auto &service = m_services[identity];
    if (!service) {
        service = std::make_unique<Service>();
        service->owner = this;
        service->identity = identity;
        service->deadline.setSingleShot(true);
        service->deadline.setInterval(kResolveTimeoutMs);
        Service *raw = service.get();
        QObject::connect(&service->deadline, &QTimer::timeout, this, [this, raw] { resolveFailed(*raw); });
    }
    // A service seen again on another interface or protocol is resolved there only when every
    // earlier attempt has failed.
    if (!service->reported && !service->resolver)
        resolveNext(client, *service);
}

void AvahiServiceDiscovery::serviceDisappeared(const ServiceIdentity &identity,
                                               ServiceInstances::Instance instance)
{
    if (!m_instances.remove(identity, instance))
        return;
    const auto found = m_services.find(identity);
    if (found == m_services.end())
        return;
    if (found->second->reported)
        deliverLater([this, identity] { emit serviceLost(identity); });
    m_services.erase(found);
}

void AvahiServiceDiscovery::resolveNext(AvahiClient *client, Service &service)
{
    const QByteArray name = service.identity.name.toUtf8();
    const QByteArray type = service.identity.type.toUtf8();
    const QByteArray domain = service.identity.domain.toUtf8();
    for (const ServiceInstances::Instance &instance : m_instances.instancesOf(service.identity)) {
        if (service.tried.contains(instance))
            continue;
        service.tried.insert(instance);
        // The address is asked for in the protocol the service was seen on, so that an IPv4
        // announcement gives an IPv4 address.
        service.resolver.reset(avahi_service_resolver_new(
            client, instance.interfaceIndex, instance.protocol, name.constData(), type.constData(),
            domain.constData(), instance.protocol, AvahiLookupFlags(0), &resolverCallback, &service));
        if (service.resolver) {
            service.deadline.start();
            return;
        }
    }
}

void AvahiServiceDiscovery::resolverCallback(AvahiServiceResolver *, AvahiIfIndex interface, AvahiProtocol,
                                             AvahiResolverEvent event, const char *, const char *,
                                             const char *, const char *, const AvahiAddress *address,
                                             uint16_t port, AvahiStringList *txt, AvahiLookupResultFlags,
                                             void *userdata)
{
    auto *service = static_cast<Service *>(userdata);
    if (event != AVAHI_RESOLVER_FOUND) {
        service->owner->resolveFailed(*service);
        return;
    }
    NetService found;
    found.identity = service->identity;
    found.address = hostAddress(address, interface);
    found.port = port;
    found.txtRecord = txtRecord(txt);
    service->owner->resolved(*service, std::move(found));
}

void AvahiServiceDiscovery::resolved(Service &service, NetService found)
{
    service.deadline.stop();
    service.resolver.reset();
    service.reported = true;
    deliverLater([this, found = std::move(found)] { emit serviceFound(found); });
}

void AvahiServiceDiscovery::resolveFailed(Service &service)
{
    service.deadline.stop();
    service.resolver.reset();
    if (m_client)
        resolveNext(m_client.get(), service);
}

template <typename Emit> void AvahiServiceDiscovery::deliverLater(Emit emitSignal)
{
    QMetaObject::invokeMethod(
        this,
        [this, search = m_search, emitSignal = std::move(emitSignal)] {
            if (search == m_search)
                emitSignal();
        },
        Qt::QueuedConnection);
}

void AvahiServiceDiscovery::failLater(const QString &message)
{
    deliverLater([this, message] {
        stopBrowsing();
        emit unavailable(message);
    });
}

} // namespace velumark
