// Transfers with the companion app on a phone or tablet, and the devices that offer them.
#include "cli/Commands.h"
#include "cli/InterruptHandler.h"
#include "cli/ProgressReporter.h"
#include "document/VelumarkDatabase.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/LongOperation.h"
#include "interchange/device/DeviceBrowser.h"
#include "interchange/device/ServiceDiscovery.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QHostInfo>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <functional>
#include <optional>

namespace velumark::cli {

namespace {

constexpr int kListingSeconds = 3;
constexpr int kFindingSeconds = 5;

// How a pull or push reaches its device.
struct DeviceTarget
{
    QString name; // found by this name through discovery...
    QUrl url;     // ...or reached here directly, in this mode
    int mode = 0;
    int waitMs = 0;
};

// description names the default as %1.
QCommandLineOption waitOption(int defaultSeconds, const QString &description)
{
    return QCommandLineOption(QStringLiteral("wait"), description.arg(defaultSeconds),
                              QStringLiteral("SECONDS"), QString::number(defaultSeconds));
}

// The --wait value in milliseconds; none (printed) when it is not a number of seconds from 0 to 3600.
std::optional<int> readWait(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    bool ok = false;
    const double seconds = parser.value(option).toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > 3600) {
        printError(localized("--wait takes a number of seconds from 0 to 3600."));
        return std::nullopt;
    }
    return static_cast<int>(seconds * 1000);
}

// Runs the event loop until `done` holds after a change of the device list, the time is up, or
// the loop is told to quit.
void watchDevices(const DeviceBrowserLogic &logic, int waitMs, const std::function<bool()> &done,
                  QEventLoop &loop)
{
    if (done())
        return;
    const QObject scope; // ends both connections on return
    QTimer::singleShot(waitMs, &scope, [&loop] { loop.quit(); });
    QObject::connect(&logic, &DeviceBrowserLogic::displayChanged, &scope, [&] {
        if (done())
            loop.quit();
    });
    loop.exec();
}

int devicesCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Lists the devices on the local network that offer a transfer, one a line: the device's name, "
        "the application, its version and the mode chosen on the device's Tools screen, separated by "
        "tabs. Devices are found through the Avahi daemon."));
    const QCommandLineOption wait =
        waitOption(kListingSeconds, localized("How long to look for devices (default: %1 seconds)."));
    parser.addOption(wait);
    if (const int status = parseArguments(parser, QStringLiteral("devices"), arguments, {}, 0, 0);
        status >= 0)
        return status;
    const std::optional<int> waitMs = readWait(parser, wait);
    if (!waitMs)
        return kUsageError;

    InterchangeHandOver handOver;
    DeviceBrowser browser(ServiceDiscovery::create(), handOver);
    const DeviceBrowserLogic &logic = browser.logic();
    browser.logic().presentDeviceBrowser(0);
    QEventLoop loop;
    watchDevices(
        logic, *waitMs, [&] { return !logic.discoveryProblem().isEmpty(); }, loop);
    if (!logic.discoveryProblem().isEmpty()) {
        printError(logic.discoveryProblem());
        return kFailure;
    }
    if (logic.deviceArray().isEmpty())
        printOut(localized("No devices found."));
    for (const Device &device : logic.deviceArray())
        printOut(
            QStringLiteral("%1\t%2\t%3\t%4")
                .arg(device.deviceName(), device.serviceName(), device.serviceVersion(), device.modeText()));
    return kSuccess;
}

// Reads DEVICE or --url with --mode, and --wait; none (printed) on a usage error.
std::optional<DeviceTarget> readTarget(const QCommandLineParser &parser, const QCommandLineOption &url,
                                       const QCommandLineOption &mode, const QCommandLineOption &wait)
{
    DeviceTarget target;
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(url) == (positional.size() == 2)) {
        printError(localized("Name the DEVICE, or give --url and --mode instead."));
        return std::nullopt;
    }
    if (parser.isSet(mode) != parser.isSet(url)) {
        printError(localized("--url and --mode go together."));
        return std::nullopt;
    }
    if (!parser.isSet(url)) {
        target.name = positional.at(1);
        const std::optional<int> waitMs = readWait(parser, wait);
        if (!waitMs)
            return std::nullopt;
        target.waitMs = *waitMs;
        return target;
    }
    target.url = QUrl(parser.value(url), QUrl::StrictMode);
    const QString path = target.url.path();
    if (!target.url.isValid() || target.url.scheme() != QLatin1String("http") ||
        target.url.host().isEmpty() || target.url.port() <= 0 || !target.url.userInfo().isEmpty() ||
        target.url.hasQuery() || target.url.hasFragment() ||
        !(path.isEmpty() || path == QLatin1String("/"))) {
        printError(localized("--url takes the device's address as http://HOST:PORT."));
        return std::nullopt;
    }
    bool ok = false;
    target.mode = parser.value(mode).toInt(&ok);
    if (!ok || target.mode < DeviceMode::BackupDatabase || target.mode > DeviceMode::ImportData) {
        printError(localized("--mode takes the device's mode: 0 Backup Database, 1 Restore Database, "
                             "2 Export Data, 3 Import Data."));
        return std::nullopt;
    }
    return target;
}

// Lists the device at a known address as discovery would have; false (printed) when its host
// cannot be found.
bool addDeviceAt(DeviceBrowserLogic &logic, const DeviceTarget &target)
{
    QHostAddress address(target.url.host());
    if (address.isNull()) {
        const QList<QHostAddress> found = QHostInfo::fromName(target.url.host()).addresses();
        if (found.isEmpty()) {
            printError(localized("The host %1 cannot be found.").arg(target.url.host()));
            return false;
        }
        address = found.first();
    }
    NetService service;
    service.identity = {target.url.authority(), QStringLiteral("_http._tcp"), QString()};
    service.address = address;
    service.port = static_cast<quint16>(target.url.port());
    service.txtRecord = {{QStringLiteral("name"), QByteArrayLiteral("Velumark")},
                         {QStringLiteral("type"), QByteArray::number(target.mode)}};
    logic.addResolvedService(service);
    return true;
}

// Selects the target device in the import or export window's logic; the exit status when that
// failed, or none.
std::optional<int> selectDevice(DeviceBrowserLogic &logic, const DeviceTarget &target, bool import,
                                QEventLoop &loop, const bool &interrupted)
{
    if (target.name.isEmpty()) {
        logic.setImport(import);
        if (!addDeviceAt(logic, target))
            return kFailure;
        logic.setSelectedRow(0);
        return std::nullopt;
    }
    logic.presentDeviceBrowser(import ? 0 : 1);
    const auto rowOfTarget = [&] {
        for (int row = 0; row < logic.numberOfRows(); ++row) {
            if (logic.deviceArray().at(row).deviceName() == target.name)
                return row;
        }
        return -1;
    };
    watchDevices(
        logic, target.waitMs,
        [&] { return interrupted || rowOfTarget() >= 0 || !logic.discoveryProblem().isEmpty(); }, loop);
    if (interrupted) {
        printError(localized("Cancelled."));
        return kFailure;
    }
    if (!logic.discoveryProblem().isEmpty()) {
        printError(logic.discoveryProblem());
        return kFailure;
    }
    const int row = rowOfTarget();
    if (row < 0) {
        printError(localized("No device named \"%1\" was found. Run \"velumark-cli devices\" to see the "
                             "devices on the network.")
                       .arg(target.name));
        return kFailure;
    }
    logic.setSelectedRow(row);
    return std::nullopt;
}

// Runs the transfer the window's action button would start and prints its end as the alert.
int transfer(DeviceBrowser &browser, bool import, QEventLoop &loop)
{
    const DeviceBrowserLogic &logic = browser.logic();
    // What the window says while its button is disabled is the reason for refusing.
    if (!logic.isActionEnabled() || !(import ? browser.downloadDatabase() : browser.uploadDatabase())) {
        const QString reason = logic.message();
        printError(reason.isEmpty() ? localized("The device is in a mode this program does not know (%1).")
                                          .arg(logic.deviceArray().value(logic.selectedRow()).serviceNumber())
                                    : reason);
        return kFailure;
    }
    const QString title = browser.progress().title();
    ProgressReporter reporter({title, {}, {}, {}, {}});
    int status = kFailure;
    const QObject scope;
    QObject::connect(&browser, &DeviceBrowser::progressChanged, &scope,
                     [&reporter](double value) { reporter.progressUpdate(value); });
    QObject::connect(&browser, &DeviceBrowser::transferFinished, &scope,
                     [&](bool succeeded, const TransferAlert &alert, const QString &detail) {
                         reporter.setTexts({title, alert.title, alert.text, alert.title, alert.text});
                         reporter.operationFinished(
                             succeeded ? OperationResult::Done : OperationResult::Failed, detail);
                         status = succeeded ? kSuccess : kFailure;
                         loop.quit();
                     });
    QObject::connect(&browser, &DeviceBrowser::transferCancelled, &scope, [&] {
        reporter.operationFinished(OperationResult::Cancelled, {});
        loop.quit();
    });
    loop.exec();
    return status;
}

QString targetHelp()
{
    return localized(
        "The device is named as \"velumark-cli devices\" lists it and found on the local network through "
        "the Avahi daemon, waiting up to --wait seconds for it. Instead of DEVICE, --url http://HOST:PORT "
        "with --mode N reaches a device at a known address without discovery (N: 0 Backup Database, "
        "1 Restore Database, 2 Export Data, 3 Import Data).");
}

int deviceTransferCommand(const QStringList &arguments, bool import)
{
    const QString command = import ? QStringLiteral("pull") : QStringLiteral("push");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        (import ? localized("Imports the database of a device running the companion app into a catalogue. "
                            "The complete scope replaces every record of the catalogue by the device's "
                            "(a complete restore); the other scopes add records. The device must be in "
                            "Backup Database mode, or in Export Data mode for artworks or clients.")
                : localized("Sends the complete database of a catalogue to a device running the companion "
                            "app. The device must be in Restore Database or Import Data mode.")) +
        QLatin1Char('\n') + targetHelp());
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("DEVICE"), localized("The device's name."),
                                 QStringLiteral("[DEVICE]"));
    const QCommandLineOption wait =
        waitOption(kFindingSeconds, localized("How long to look for the device (default: %1 seconds)."));
    const QCommandLineOption url(QStringLiteral("url"), localized("The device's address, http://HOST:PORT."),
                                 QStringLiteral("URL"));
    const QCommandLineOption mode(QStringLiteral("mode"), localized("The device's mode, with --url."),
                                  QStringLiteral("N"));
    const QCommandLineOption scope(QStringLiteral("scope"),
                                   localized("What to import: %1 (default: complete).").arg(scopeNames()),
                                   QStringLiteral("SCOPE"), QStringLiteral("complete"));
    parser.addOptions({wait, url, mode});
    if (import)
        parser.addOption(scope);
    if (const int status = parseArguments(parser, command, arguments,
                                          {QStringLiteral("PATH.vdb"), QStringLiteral("[DEVICE]")}, 1, 2);
        status >= 0)
        return status;
    const std::optional<DeviceTarget> target = readTarget(parser, url, mode, wait);
    if (!target)
        return kUsageError;
    const std::optional<TransferScope> choice =
        import ? scopeFromName(parser.value(scope)) : std::optional(TransferScope::Complete);
    if (!choice) {
        printError(localized("Unknown scope \"%1\": use %2.").arg(parser.value(scope), scopeNames()));
        return kUsageError;
    }

    auto document = openCatalogue(parser.positionalArguments().at(0));
    if (!document)
        return kFailure;
    InterchangeHandOver handOver;
    DeviceBrowser browser(ServiceDiscovery::create(), handOver);
    QEventLoop loop;
    bool interrupted = false;
    // Ctrl-C cancels as the progress window's Cancel does, or stops looking for the device.
    const InterruptHandler interrupt([&] {
        if (browser.isTransferring()) {
            browser.cancel();
        } else {
            interrupted = true;
            loop.quit();
        }
    });
    std::optional<int> status = selectDevice(browser.logic(), *target, import, loop, interrupted);
    if (!status) {
        browser.logic().setImportSelection(*choice);
        status = transfer(browser, import, loop);
    }
    return closeCatalogue(*document) ? *status : kFailure;
}

} // namespace

std::vector<Command> deviceCommands()
{
    return {
        {QStringLiteral("devices"), localized("List the devices that offer a transfer on the local network."),
         devicesCommand},
        {QStringLiteral("pull"), localized("Import the database of a device into a catalogue."),
         [](const QStringList &arguments) {
             return deviceTransferCommand(arguments, true);
         }},
        {QStringLiteral("push"), localized("Send the database of a catalogue to a device."),
         [](const QStringList &arguments) {
             return deviceTransferCommand(arguments, false);
         }},
    };
}

} // namespace velumark::cli
