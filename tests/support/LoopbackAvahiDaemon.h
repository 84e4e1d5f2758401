#pragma once

#include "support/ChildProcess.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace velumark::test {

// A private avahi-daemon that sees only the loopback interface, on a system bus of its own, so
// that discovery tests never browse or announce on a real network. The daemon insists on root
// and on fixed pid and socket paths, so one runs at a time on the machine (a lock file), and a
// daemon of the machine's own is never touched: the tests are skipped instead.
// Everything is stopped and put back as it was when this object goes.
class LoopbackAvahiDaemon
{
public:
    enum class Outcome
    {
        Running,
        Skipped, // the machine cannot host it; message says why
        Failed,
    };
    struct Result
    {
        Outcome outcome;
        QString message;
    };

    // The address of the private bus. libdbus reads DBUS_SYSTEM_BUS_ADDRESS once per process,
    // so it is fixed; nothing listens there unless a LoopbackAvahiDaemon has started it.
    static QString busAddress();
    // Points this process at the private bus; call it before anything connects to a system bus.
    static void useOnlyPrivateBus();

    LoopbackAvahiDaemon() = default;
    ~LoopbackAvahiDaemon();
    LoopbackAvahiDaemon(const LoopbackAvahiDaemon &) = delete;
    LoopbackAvahiDaemon &operator=(const LoopbackAvahiDaemon &) = delete;

    // Takes the machine-wide lock: until this object goes, no other test's bus or daemon runs.
    Result reserve();
    // The private bus alone: no Avahi daemon answers on it.
    Result startBusOnly();
    // The private bus and the daemon on it, ready to browse and publish.
    Result start();
    // Stops the daemon by its process id; the bus stays.
    void stopDaemon();

    // Announces an "_http._tcp" service with the TXT entries ("key=value") until the returned
    // process is stopped; null, with problem set, when it could not be established.
    std::unique_ptr<ChildProcess> publish(const QString &name, quint16 port, const QStringList &txt,
                                          QString *problem) const;

private:
    Result enableLoopbackMulticast();

    int m_lock = -1;
    bool m_usesRunDirectory = false; // the bus's folder, ours alone while the lock is held
    bool m_madeAvahiRuntime = false;
    bool m_switchedMulticastOn = false;
    std::unique_ptr<ChildProcess> m_bus;
    std::unique_ptr<ChildProcess> m_daemon;
};

} // namespace velumark::test
