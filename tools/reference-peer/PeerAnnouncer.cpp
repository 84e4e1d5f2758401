#include "PeerAnnouncer.h"

#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <net/if.h>

namespace velumark::peer {

namespace {
// Avahi's own string list, freed on every path.
struct TxtRecord
{
    AvahiStringList *list = nullptr;
    ~TxtRecord() { avahi_string_list_free(list); }
    void add(const char *key, const QString &value)
    {
        list = avahi_string_list_add_pair(list, key, value.toUtf8().constData());
    }
};
} // namespace

PeerAnnouncer::PeerAnnouncer(Service service, QObject *parent)
    : QObject(parent), m_service(std::move(service)), m_name(m_service.serviceName.toUtf8())
{}

PeerAnnouncer::~PeerAnnouncer()
{
    // Avahi's thread must be gone before the client it drives is freed.
    if (m_poll)
        avahi_threaded_poll_stop(m_poll.get());
    m_client.reset();
}

bool PeerAnnouncer::start(QString *error)
{
    m_interfaceIndex = AVAHI_IF_UNSPEC;
    if (!m_service.interfaceName.isEmpty()) {
        const unsigned index = if_nametoindex(m_service.interfaceName.toLocal8Bit().constData());
        if (index == 0) {
            *error = QStringLiteral("no network interface %1").arg(m_service.interfaceName);
            return false;
        }
        m_interfaceIndex = int(index);
    }
    m_poll.reset(avahi_threaded_poll_new());
    if (!m_poll) {
        *error = QStringLiteral("cannot start Avahi's event loop");
        return false;
    }
    int avahiError = 0;
    m_client.reset(avahi_client_new(avahi_threaded_poll_get(m_poll.get()), AvahiClientFlags(0),
                                    &PeerAnnouncer::clientChanged, this, &avahiError));
    if (!m_client) {
        *error = QStringLiteral("cannot reach the Avahi daemon: %1")
                     .arg(QString::fromUtf8(avahi_strerror(avahiError)));
        return false;
    }
    if (avahi_threaded_poll_start(m_poll.get()) < 0) {
        *error = QStringLiteral("cannot start Avahi's thread");
        return false;
    }
    return true;
}

void PeerAnnouncer::clientChanged(AvahiClient *client, AvahiClientState state, void *announcer)
{
    auto *self = static_cast<PeerAnnouncer *>(announcer);
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        self->registerService(client);
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        // The host name is changing; the service is registered again once it runs.
        if (self->m_group)
            avahi_entry_group_reset(self->m_group);
        break;
    case AVAHI_CLIENT_FAILURE:
        self->reportFailure("the Avahi daemon failed", avahi_client_errno(client));
        break;
    case AVAHI_CLIENT_CONNECTING:
        break;
    }
}

void PeerAnnouncer::groupChanged(AvahiEntryGroup *group, AvahiEntryGroupState state, void *announcer)
{
    auto *self = static_cast<PeerAnnouncer *>(announcer);
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        emit self->established(QString::fromUtf8(self->m_name));
        break;
    case AVAHI_ENTRY_GROUP_COLLISION: {
        char *alternative = avahi_alternative_service_name(self->m_name.constData());
        self->m_name = alternative;
        avahi_free(alternative);
        self->registerService(avahi_entry_group_get_client(group));
        break;
    }
    case AVAHI_ENTRY_GROUP_FAILURE:
        self->reportFailure("the announcement failed",
                            avahi_client_errno(avahi_entry_group_get_client(group)));
        break;
    case AVAHI_ENTRY_GROUP_UNCOMMITED:
    case AVAHI_ENTRY_GROUP_REGISTERING:
        break;
    }
}

void PeerAnnouncer::registerService(AvahiClient *client)
{
    if (!m_group) {
        m_group = avahi_entry_group_new(client, &PeerAnnouncer::groupChanged, this);
        if (!m_group) {
            reportFailure("cannot create an Avahi entry group", avahi_client_errno(client));
            return;
        }
    }
    avahi_entry_group_reset(m_group);
    TxtRecord txt;
    txt.add("name", m_service.applicationName);
    txt.add("type", QString::number(m_service.mode));
    txt.add("version", m_service.version);
    const int result = avahi_entry_group_add_service_strlst(
        m_group, AvahiIfIndex(m_interfaceIndex), AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), m_name.constData(),
        "_http._tcp", nullptr, nullptr, m_service.port, txt.list);
    if (result == AVAHI_ERR_COLLISION) {
        groupChanged(m_group, AVAHI_ENTRY_GROUP_COLLISION, this);
        return;
    }
    if (result < 0) {
        reportFailure("cannot add the service", result);
        return;
    }
    if (const int committed = avahi_entry_group_commit(m_group); committed < 0)
        reportFailure("cannot commit the service", committed);
}

void PeerAnnouncer::reportFailure(const char *what, int avahiError)
{
    emit failed(
        QStringLiteral("%1: %2").arg(QString::fromUtf8(what), QString::fromUtf8(avahi_strerror(avahiError))));
}

} // namespace velumark::peer
