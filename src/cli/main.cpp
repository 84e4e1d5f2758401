// velumark-cli: the catalogue from the command line, over the same core as the windows.
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "store/Localization.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstring>
#include <memory>

namespace velumark::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = [] {
        std::vector<Command> list;
        for (auto family : {catalogueCommands, transferCommands, contactCommands, demoCommands,
                            deviceCommands, photoCommands, printCommands}) {
            for (Command &command : family())
                list.push_back(std::move(command));
        }
        return list;
    }();
    return all;
}

namespace {

void printUsage()
{
    printOut(localized("Usage: velumark-cli COMMAND [options] [arguments]"));
    printOut(QString());
    printOut(localized("Commands:"));
    for (const Command &command : commands())
        printOut(QStringLiteral("  %1 %2").arg(command.name, -16).arg(command.summary));
    printOut(QString());
    printOut(localized("Run \"velumark-cli COMMAND --help\" for the options of a command."));
}

// Printing lays text out with the desktop's fonts, which only a GUI application has; the other
// commands stay without one. Without a display it runs on the offscreen platform.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "print") != 0)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

} // namespace velumark::cli

int main(int argc, char **argv)
{
    const auto app = velumark::cli::makeApplication(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationName(QStringLiteral("Velumark"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3"));

    using namespace velumark::cli;
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty()) {
        printUsage();
        return kUsageError;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printUsage();
        return kSuccess;
    }
    for (const Command &command : commands()) {
        if (command.name == name)
            return command.run(arguments);
    }
    printError(velumark::localized("Unknown command \"%1\".").arg(name));
    printUsage();
    return kUsageError;
}
