#include "support/LoopbackAvahiDaemon.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velumark::test {

namespace {

const QString kRunDirectory = QStringLiteral("/run/velumark-loopback-avahi");
const char kLockFile[] = "/run/lock/velumark-loopback-avahi.lock";
// The daemon's own runtime folder, where it writes its pid file and socket.
const QString kAvahiRuntime = QStringLiteral("/run/avahi-daemon");
const QString kLoopbackFlags = QStringLiteral("/sys/class/net/lo/flags");
constexpr unsigned kMulticastFlag = 0x1000; // IFF_MULTICAST
constexpr int kLockWaitMs = 240000;
constexpr int kStartupMs = 20000;

// The machine's system bus policy, with Avahi's own rules for its name.
const char kBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Introspectable"/>
  </policy>
  <include>/usr/share/dbus-1/system.d/avahi-dbus.conf</include>
</busconfig>
)";

// Loopback only, IPv4 only, nothing relayed or sent to wide-area servers.
const char kAvahiConfig[] = R"([server]
host-name=velumark-loopback
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
disable-publishing=no
publish-hinfo=no
publish-workstation=no
[reflector]
enable-reflector=no
)";

QString findProgram(const QString &name)
{
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
                                                 QStringLiteral("/sbin"), QStringLiteral("/bin")});
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

// The pid of a running avahi-daemon not started here, or 0.
qint64 otherDaemon()
{
    QFile pidFile(kAvahiRuntime + QStringLiteral("/pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 pid = QString::fromLatin1(pidFile.readAll()).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return 0;
    return (kill(pid_t(pid), 0) == 0 || errno == EPERM) ? pid : 0;
}

QProcessEnvironment busEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), LoopbackAvahiDaemon::busAddress());
    return environment;
}

bool setLoopbackMulticast(bool on)
{
    QProcess ip;
    ip.start(findProgram(QStringLiteral("ip")),
             {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
              QStringLiteral("multicast"), on ? QStringLiteral("on") : QStringLiteral("off")});
    return ip.waitForFinished(10000) && ip.exitStatus() == QProcess::NormalExit && ip.exitCode() == 0;
}

} // namespace

QString LoopbackAvahiDaemon::busAddress()
{
    return QStringLiteral("unix:path=%1/bus").arg(kRunDirectory);
}

void LoopbackAvahiDaemon::useOnlyPrivateBus()
{
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", busAddress().toUtf8());
}

LoopbackAvahiDaemon::~LoopbackAvahiDaemon()
{
    stopDaemon();
    m_bus.reset();
    if (m_usesRunDirectory)
        QDir(kRunDirectory).removeRecursively();
    if (m_switchedMulticastOn)
        setLoopbackMulticast(false);
    if (m_lock >= 0)
        close(m_lock); // releases the lock
}

LoopbackAvahiDaemon::Result LoopbackAvahiDaemon::reserve()
{
    if (m_lock >= 0)
        return {Outcome::Running, {}};
    // Read-only is enough for flock, and lets a lock file made by another user serve.
    int lock = open(kLockFile, O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0)
        lock = open(kLockFile, O_RDONLY | O_CLOEXEC);
    if (lock < 0)
        return {Outcome::Failed,
                QStringLiteral("Cannot open %1: %2")
                    .arg(QString::fromLatin1(kLockFile), QString::fromLocal8Bit(strerror(errno)))};
    QElapsedTimer timer;
    timer.start();
    while (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (timer.elapsed() > kLockWaitMs) {
            close(lock);
            return {Outcome::Failed,
                    QStringLiteral("Another discovery test kept %1 locked").arg(QLatin1String(kLockFile))};
        }
        QThread::msleep(100);
    }
    m_lock = lock;
    useOnlyPrivateBus();
    return {Outcome::Running, {}};
}

LoopbackAvahiDaemon::Result LoopbackAvahiDaemon::startBusOnly()
{
    if (const Result reserved = reserve(); reserved.outcome != Outcome::Running)
        return reserved;
    if (m_bus)
        return {Outcome::Running, {}};
    if (geteuid() != 0)
        return {Outcome::Skipped, QStringLiteral("The private avahi-daemon and its bus need root; run the "
                                                 "discovery tests as root.")};
    const QString dbusDaemon = findProgram(QStringLiteral("dbus-daemon"));
    if (dbusDaemon.isEmpty())
        return {Outcome::Failed, QStringLiteral("dbus-daemon is missing (Debian package dbus-daemon).")};

    m_usesRunDirectory = true;
    if (!QDir().mkpath(kRunDirectory) ||
        !QFile::setPermissions(kRunDirectory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return {Outcome::Failed, QStringLiteral("Cannot make %1").arg(kRunDirectory)};
    // A socket left by a killed run would keep the bus from listening.
    QFile::remove(kRunDirectory + QStringLiteral("/bus"));
    const QString config = kRunDirectory + QStringLiteral("/bus.conf");
    if (!writeFile(config, QString::fromUtf8(kBusConfig).arg(kRunDirectory).toUtf8()))
        return {Outcome::Failed, QStringLiteral("Cannot write %1").arg(config)};

    auto bus = std::make_unique<ChildProcess>();
    if (!bus->start(dbusDaemon,
                    {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                     QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")},
                    QProcessEnvironment::systemEnvironment()) ||
        !bus->waitForOutput(QStringLiteral("unix:path="), kStartupMs))
        return {Outcome::Failed, QStringLiteral("The private bus did not start:\n") + bus->transcript()};
    m_bus = std::move(bus);
    return {Outcome::Running, {}};
}

LoopbackAvahiDaemon::Result LoopbackAvahiDaemon::start()
{
    if (const Result reserved = reserve(); reserved.outcome != Outcome::Running)
        return reserved;
    if (geteuid() != 0)
        return {Outcome::Skipped,
                QStringLiteral("The private avahi-daemon needs root; run the discovery tests "
                               "as root.")};
    if (const qint64 pid = otherDaemon())
        return {
            Outcome::Skipped,
            QStringLiteral("An avahi-daemon of this machine is running (pid %1). It announces on the real "
                           "network, so the discovery tests do not use it and cannot start their own.")
                .arg(pid)};
    const QString avahiDaemon = findProgram(QStringLiteral("avahi-daemon"));
    if (avahiDaemon.isEmpty() || findProgram(QStringLiteral("avahi-publish")).isEmpty() ||
        findProgram(QStringLiteral("ip")).isEmpty())
        return {Outcome::Failed,
                QStringLiteral("avahi-daemon, avahi-publish or ip is missing (Debian packages "
                               "avahi-daemon, avahi-utils, iproute2).")};
    if (const Result bus = startBusOnly(); bus.outcome != Outcome::Running)
        return bus;
    if (const Result multicast = enableLoopbackMulticast(); multicast.outcome != Outcome::Running)
        return multicast;

    const QString config = kRunDirectory + QStringLiteral("/avahi-daemon.conf");
    if (!writeFile(config, kAvahiConfig))
        return {Outcome::Failed, QStringLiteral("Cannot write %1").arg(config)};
    m_madeAvahiRuntime = !QFileInfo::exists(kAvahiRuntime);
    auto daemon = std::make_unique<ChildProcess>();
    if (!daemon->start(avahiDaemon,
                       {QStringLiteral("--no-chroot"), QStringLiteral("--no-drop-root"),
                        QStringLiteral("--no-rlimits"), QStringLiteral("--no-proc-title"),
                        QStringLiteral("-f"), config},
                       busEnvironment()) ||
        !daemon->waitForOutput(QStringLiteral("Server startup complete"), kStartupMs)) {
        const QString transcript = daemon->transcript();
        daemon->stop();
        return {Outcome::Failed, QStringLiteral("The private avahi-daemon did not start:\n") + transcript};
    }
    m_daemon = std::move(daemon);
    return {Outcome::Running, {}};
}

void LoopbackAvahiDaemon::stopDaemon()
{
    if (!m_daemon)
        return;
    m_daemon.reset();
    if (m_madeAvahiRuntime)
        QDir().rmdir(kAvahiRuntime); // only when empty: the daemon removes its pid file and socket
    m_madeAvahiRuntime = false;
}

LoopbackAvahiDaemon::Result LoopbackAvahiDaemon::enableLoopbackMulticast()
{
    QFile flags(kLoopbackFlags);
    bool ok = false;
    const unsigned value =
        flags.open(QIODevice::ReadOnly) ? QString::fromLatin1(flags.readAll()).trimmed().toUInt(&ok, 16) : 0;
    if (!ok)
        return {Outcome::Failed, QStringLiteral("Cannot read %1").arg(kLoopbackFlags)};
    if (value & kMulticastFlag)
        return {Outcome::Running, {}};
    if (!setLoopbackMulticast(true))
        return {Outcome::Failed, QStringLiteral("\"ip link set lo multicast on\" failed")};
    m_switchedMulticastOn = true;
    return {Outcome::Running, {}};
}

std::unique_ptr<ChildProcess> LoopbackAvahiDaemon::publish(const QString &name, quint16 port,
                                                           const QStringList &txt, QString *problem) const
{
    auto publication = std::make_unique<ChildProcess>();
    const QStringList arguments =
        QStringList{QStringLiteral("-s"), name, QStringLiteral("_http._tcp"), QString::number(port)} + txt;
    if (publication->start(findProgram(QStringLiteral("avahi-publish")), arguments, busEnvironment()) &&
        publication->waitForOutput(QStringLiteral("Established under name"), kStartupMs))
        return publication;
    *problem = publication->transcript();
    return nullptr;
}

} // namespace velumark::test
