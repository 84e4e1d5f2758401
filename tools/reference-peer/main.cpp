// velumark-reference-peer: plays the mobile application's side of a transfer on 127.0.0.1.
// The first line it prints is the port it listens on.
#include "PeerAnnouncer.h"
#include "ReferencePeer.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <optional>

using velumark::localized;
using velumark::peer::PeerAnnouncer;
using velumark::peer::PeerOptions;
using velumark::peer::ReferencePeer;

namespace {

struct Settings
{
    PeerOptions peer;
    quint16 port = 0;
    bool announce = true;
    PeerAnnouncer::Service service;
};

void printError(const QString &message)
{
    std::fprintf(stderr, "velumark-reference-peer: %s\n", qUtf8Printable(message));
}

std::optional<qint64> numberOption(const QCommandLineParser &parser, const QString &name, qint64 low,
                                   qint64 high, qint64 fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value < low || value > high) {
        printError(localized("--%1 takes a whole number from %2 to %3").arg(name).arg(low).arg(high));
        return std::nullopt;
    }
    return value;
}

std::optional<Settings> parseSettings(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        localized("Serves or accepts interchange files the way the mobile application does."));
    parser.addHelpOption();
    const auto option = [&](const char *name, const char *description, const char *valueName = nullptr) {
        if (valueName)
            parser.addOption({QString::fromLatin1(name), localized(description), localized(valueName)});
        else
            parser.addOption({QString::fromLatin1(name), localized(description)});
    };
    option("port", "Port to listen on; 0 takes any free port.", "port");
    option("mode", "Device mode: 0 Backup Database, 1 Restore Database, 2 Export Data, 3 Import Data.",
           "mode");
    option("folder", "Folder the files are served from and uploads stored into.", "folder");
    option("service-name", "Name of the announced service.", "name");
    option("name", "Application named in the announcement (Velumark, Velumark Lite, ...).", "name");
    option("app-version", "Version named in the announcement.", "version");
    option("interface", "Announce on this network interface only.", "interface");
    option("no-announce", "Do not announce the service.");
    option("status", "Answer every request with this HTTP status once its body is read.", "status");
    option("cut-after", "Break the connection after this many body bytes read or sent.", "bytes");
    option("truncate", "Serve only this many bytes of a file while announcing its full length.", "bytes");
    option("no-length", "Serve files without a Content-Length.");
    option("response-delay", "Wait this many milliseconds before answering.", "ms");
    option("chunk-delay", "Wait this many milliseconds between pieces of a body.", "ms");
    option("raw-body", "Keep the body of each request in this file, byte for byte.", "file");
    parser.process(app);

    Settings settings;
    const auto port = numberOption(parser, QStringLiteral("port"), 0, 65535, 0);
    const auto mode = numberOption(parser, QStringLiteral("mode"), 0, 3, 0);
    const auto status = numberOption(parser, QStringLiteral("status"), 200, 599, 0);
    const auto cutAfter =
        numberOption(parser, QStringLiteral("cut-after"), 0, std::numeric_limits<qint64>::max(), -1);
    const auto truncate =
        numberOption(parser, QStringLiteral("truncate"), 0, std::numeric_limits<qint64>::max(), -1);
    const auto responseDelay = numberOption(parser, QStringLiteral("response-delay"), 0, 3600000, 0);
    const auto chunkDelay = numberOption(parser, QStringLiteral("chunk-delay"), 0, 3600000, 0);
    if (!port || !mode || !status || !cutAfter || !truncate || !responseDelay || !chunkDelay)
        return std::nullopt;

    settings.port = quint16(*port);
    settings.peer.mode = int(*mode);
    settings.peer.folder =
        parser.isSet(QStringLiteral("folder")) ? parser.value(QStringLiteral("folder")) : QDir::currentPath();
    settings.peer.forcedStatus = int(*status);
    settings.peer.cutAfterBytes = *cutAfter;
    settings.peer.truncateAt = *truncate;
    settings.peer.omitContentLength = parser.isSet(QStringLiteral("no-length"));
    settings.peer.responseDelayMs = int(*responseDelay);
    settings.peer.chunkDelayMs = int(*chunkDelay);
    settings.peer.rawBodyPath = parser.value(QStringLiteral("raw-body"));
    if (!QDir(settings.peer.folder).exists()) {
        printError(localized("no folder %1").arg(settings.peer.folder));
        return std::nullopt;
    }

    settings.announce = !parser.isSet(QStringLiteral("no-announce"));
    settings.service.serviceName = parser.isSet(QStringLiteral("service-name"))
                                       ? parser.value(QStringLiteral("service-name"))
                                       : QStringLiteral("Velumark Reference Peer");
    settings.service.applicationName = parser.isSet(QStringLiteral("name"))
                                           ? parser.value(QStringLiteral("name"))
                                           : QStringLiteral("Velumark");
    settings.service.version = parser.isSet(QStringLiteral("app-version"))
                                   ? parser.value(QStringLiteral("app-version"))
                                   : QStringLiteral("1.3");
    settings.service.mode = settings.peer.mode;
    settings.service.interfaceName = parser.value(QStringLiteral("interface"));
    return settings;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velumark-reference-peer"));
    std::optional<Settings> settings = parseSettings(app);
    if (!settings)
        return 2;

    ReferencePeer peer(settings->peer);
    if (!peer.listen(settings->port)) {
        printError(localized("cannot listen on port %1: %2").arg(settings->port).arg(peer.errorString()));
        return 1;
    }
    std::printf("%u\n", unsigned(peer.port()));
    std::fflush(stdout);

    std::unique_ptr<PeerAnnouncer> announcer;
    if (settings->announce) {
        settings->service.port = peer.port();
        announcer = std::make_unique<PeerAnnouncer>(settings->service);
        QObject::connect(announcer.get(), &PeerAnnouncer::established, [](const QString &name) {
            std::fprintf(stderr, "velumark-reference-peer: announced as \"%s\"\n", qUtf8Printable(name));
        });
        QObject::connect(announcer.get(), &PeerAnnouncer::failed, &app, [](const QString &message) {
            printError(message);
            QCoreApplication::exit(1);
        });
        QString error;
        if (!announcer->start(&error)) {
            printError(error);
            return 1;
        }
    }
    return QCoreApplication::exec();
}
