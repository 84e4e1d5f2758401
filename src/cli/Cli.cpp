#include "cli/Cli.h"

#include "document/DocumentRegistry.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace velumark::cli {

void printOut(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

int parseArguments(QCommandLineParser &parser, const QString &command, const QStringList &arguments,
                   const QStringList &positionalNames, int minimumPositional, int maximumPositional)
{
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  localized("Show this help."));
    parser.addOption(help);
    QStringList argv = arguments;
    argv.prepend(QStringLiteral("velumark-cli ") + command);
    if (!parser.parse(argv)) {
        printError(parser.errorText());
        printError(localized("Try: velumark-cli %1 --help").arg(command));
        return kUsageError;
    }
    if (parser.isSet(help)) {
        // The parser names only the program; the command belongs in the usage line too.
        QString text = parser.helpText();
        const qsizetype usageEnd = text.indexOf(QLatin1String(" [options]"));
        if (text.startsWith(QLatin1String("Usage: ")) && usageEnd > 0)
            text.replace(7, usageEnd - 7, QStringLiteral("velumark-cli ") + command);
        printOut(text.trimmed());
        return kSuccess;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minimumPositional || (maximumPositional >= 0 && count > maximumPositional)) {
        printError(
            localized("Usage: velumark-cli %1 %2").arg(command, positionalNames.join(QLatin1Char(' '))));
        printError(localized("Try: velumark-cli %1 --help").arg(command));
        return kUsageError;
    }
    return -1;
}

std::unique_ptr<VelumarkDatabase> openCatalogue(const QString &path, bool create)
{
    const QString packagePath = QFileInfo(path).absoluteFilePath();
    if (!create && !QFileInfo::exists(packagePath)) {
        printError(localized("There is no catalogue at %1.").arg(QDir::toNativeSeparators(path)));
        return nullptr;
    }
    auto document = std::make_unique<VelumarkDatabase>();
    if (const Result<> opened = document->readFromURL(packagePath); !opened) {
        printError(opened.message());
        return nullptr;
    }
    DocumentRegistry::shared().registerAsMainDocument(document.get());
    return document;
}

bool closeCatalogue(VelumarkDatabase &document)
{
    if (const Result<> closed = document.close(); !closed) {
        printError(closed.message());
        return false;
    }
    return true;
}

std::optional<TransferScope> scopeFromName(const QString &name)
{
    if (name == QLatin1String("complete"))
        return TransferScope::Complete;
    if (name == QLatin1String("artworks-clients"))
        return TransferScope::ArtworksAndClients;
    if (name == QLatin1String("artworks"))
        return TransferScope::Artworks;
    if (name == QLatin1String("clients"))
        return TransferScope::Clients;
    return std::nullopt;
}

QString scopeNames()
{
    return QStringLiteral("complete|artworks-clients|artworks|clients");
}

} // namespace velumark::cli
