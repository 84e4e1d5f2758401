// velumark-device-stage: runs a command while a device is on a loopback-only network: a private
// avahi-daemon on a bus of its own and the reference peer announced on it, in Backup Database
// mode. Everything is stopped once the command ends; the command's exit status is returned.
// When the daemon cannot run here (not root, not installed) the command still runs, on the
// empty private bus, and the reason goes to stderr.
#include "support/ChildProcess.h"
#include "support/LoopbackAvahiDaemon.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <memory>

using velumark::test::ChildProcess;
using velumark::test::LoopbackAvahiDaemon;

namespace {

constexpr int kAnnounceMs = 15000;

void say(const QString &message)
{
    std::fprintf(stderr, "velumark-device-stage: %s\n", qUtf8Printable(message));
}

// The peer, announced under the name; null, with the reason said, when it could not be.
std::unique_ptr<ChildProcess> announcePeer(const QString &name, const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), LoopbackAvahiDaemon::busAddress());
    auto peer = std::make_unique<ChildProcess>();
    if (peer->start(QStringLiteral(VELUMARK_REFERENCE_PEER),
                    {QStringLiteral("--mode"), QStringLiteral("0"), QStringLiteral("--folder"), folder,
                     QStringLiteral("--service-name"), name},
                    environment) &&
        peer->waitForOutput(QStringLiteral("announced as"), kAnnounceMs))
        return peer;
    say(QStringLiteral("the reference peer was not announced:\n") + peer->transcript());
    return nullptr;
}

// The command gets the interrupt as well; this process outlives it to put everything back.
void outliveInterrupts()
{
    struct sigaction action = {};
    action.sa_handler = [](int) {
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int run(const QStringList &command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(command.first(), command.mid(1));
    if (!process.waitForStarted(-1)) {
        say(QStringLiteral("cannot run %1: %2").arg(command.first(), process.errorString()));
        return 127;
    }
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Never the machine's bus, whatever happens below: nothing must browse the real network.
    LoopbackAvahiDaemon::useOnlyPrivateBus();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs a command beside a device announced on loopback."));
    parser.addHelpOption();
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("The device's name."),
                                  QStringLiteral("name"), QStringLiteral("Studio iPad"));
    parser.addOption(name);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command and its arguments."),
                                 QStringLiteral("-- command [arguments...]"));
    parser.process(app);
    const QStringList command = parser.positionalArguments();
    if (command.isEmpty())
        parser.showHelp(2);

    outliveInterrupts();
    LoopbackAvahiDaemon daemon;
    QTemporaryDir folder;
    std::unique_ptr<ChildProcess> peer;
    if (const auto started = daemon.start(); started.outcome != LoopbackAvahiDaemon::Outcome::Running)
        say(QStringLiteral("no device is shown, as the private avahi-daemon cannot run: ") + started.message);
    else if (folder.isValid())
        peer = announcePeer(parser.value(name), folder.path());
    const int status = run(command);
    peer.reset();
    return status;
}
