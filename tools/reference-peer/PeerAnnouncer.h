#pragma once

#include <QObject>
#include <QString>
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/thread-watch.h>
#include <memory>

namespace velumark::peer {

// Announces the peer as an "_http._tcp" service with the TXT keys a device gives: "name" (the
// application), "type" (the mode) and "version". Avahi runs on its own thread; the signals
// arrive on the announcer's thread.
class PeerAnnouncer : public QObject
{
    Q_OBJECT
public:
    struct Service
    {
        QString serviceName;
        QString applicationName;
        int mode = 0;
        QString version;
        quint16 port = 0;
        // Announce on this network interface only; empty for all.
        QString interfaceName;
    };

    explicit PeerAnnouncer(Service service, QObject *parent = nullptr);
    ~PeerAnnouncer() override;

    // Connects to the Avahi daemon and starts announcing; false with the reason when it cannot.
    bool start(QString *error);

signals:
    // The service is registered under this name (changed from the one asked for after a
    // collision).
    void established(const QString &serviceName);
    void failed(const QString &message);

private:
    struct PollDeleter
    {
        void operator()(AvahiThreadedPoll *poll) const { avahi_threaded_poll_free(poll); }
    };
    struct ClientDeleter
    {
        void operator()(AvahiClient *client) const { avahi_client_free(client); }
    };

    static void clientChanged(AvahiClient *client, AvahiClientState state, void *announcer);
    static void groupChanged(AvahiEntryGroup *group, AvahiEntryGroupState state, void *announcer);
    // Both run on Avahi's thread (or inside start, before it runs).
    void registerService(AvahiClient *client);
    void reportFailure(const char *what, int avahiError);

    const Service m_service;
    int m_interfaceIndex = -1;
    QByteArray m_name;
    std::unique_ptr<AvahiThreadedPoll, PollDeleter> m_poll;
    std::unique_ptr<AvahiClient, ClientDeleter> m_client;
    // Owned by the client.
    AvahiEntryGroup *m_group = nullptr;
};

} // namespace velumark::peer
