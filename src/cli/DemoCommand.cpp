// The sample catalogue of the README, and larger ones for the benchmarks.
#include "cli/Commands.h"
#include "document/DemoCatalogue.h"
#include "document/VelumarkDatabase.h"
#include "interchange/OperationFolder.h"
#include "store/FileOperations.h"
#include "store/Leftovers.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <cstdio>
#include <unistd.h>

namespace velumark::cli {

namespace {

Result<> makeSample(const QString &package, const DemoCatalogue::Options &options)
{
    VelumarkDatabase document;
    if (const Result<> opened = document.readFromURL(package); !opened)
        return opened;
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    const Result<> filled = DemoCatalogue(options).fill(document, [terminal](double percent) {
        crashAtProgress(static_cast<int>(percent));
        if (terminal)
            std::fprintf(stderr, "\r%s %3d%%", localized("Making the sample catalogue").toUtf8().constData(),
                         static_cast<int>(percent));
    });
    if (terminal)
        std::fputc('\n', stderr);
    if (!filled)
        return filled;
    return document.close();
}

int demo(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Creates a sample catalogue through the catalogue's own operations: artworks with painted JPEG "
        "photos, clients of several kinds, submissions in every state, one overdue and one client near "
        "its deadline. Without options it makes the small sample; the options grow it to any size. The "
        "same options and seed give the same catalogue (dates follow today's date)."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package to create."));
    const QCommandLineOption artworks(QStringLiteral("artworks"),
                                      localized("Number of artworks (default 12)."), QStringLiteral("N"),
                                      QStringLiteral("12"));
    const QCommandLineOption clients(QStringLiteral("clients"), localized("Number of clients (default 6)."),
                                     QStringLiteral("N"), QStringLiteral("6"));
    const QCommandLineOption submissions(QStringLiteral("submissions"),
                                         localized("Number of submissions (default 16)."),
                                         QStringLiteral("N"), QStringLiteral("16"));
    const QCommandLineOption photos(QStringLiteral("photos"), localized("Number of photos (default 8)."),
                                    QStringLiteral("N"), QStringLiteral("8"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  localized("Seed of the random choices (default 1)."), QStringLiteral("S"),
                                  QStringLiteral("1"));
    for (const QCommandLineOption &option : {artworks, clients, submissions, photos, seed})
        parser.addOption(option);
    if (const int status =
            parseArguments(parser, QStringLiteral("demo"), arguments, {QStringLiteral("PATH.vdb")}, 1, 1);
        status >= 0)
        return status;

    DemoCatalogue::Options options;
    bool allValid = true;
    auto number = [&](const QCommandLineOption &option, int limit) {
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < 0 || value > limit) {
            printError(localized("--%1 needs a whole number from 0 to %2.")
                           .arg(option.names().constFirst())
                           .arg(limit));
            allValid = false;
        }
        return value;
    };
    options.artworks = number(artworks, 10'000'000);
    options.clients = number(clients, 10'000'000);
    options.submissions = number(submissions, 10'000'000);
    options.photos = number(photos, 10'000'000);
    bool seedOk = false;
    options.seed = parser.value(seed).toULongLong(&seedOk);
    if (!seedOk) {
        printError(localized("--seed needs a whole number."));
        allValid = false;
    }
    if (!allValid)
        return kUsageError;

    const QString path = QFileInfo(parser.positionalArguments().at(0)).absoluteFilePath();
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        printError(localized("%1 already exists.").arg(QDir::toNativeSeparators(path)));
        return kFailure;
    }
    // Made under a staging name beside the target and renamed into place when complete: a demo
    // that fails or is killed leaves nothing under the name (and the next one removes its rest).
    Leftovers::removeStaleStaging(QFileInfo(path).absolutePath());
    const QString staging = Leftovers::stagingPathFor(path);
    const auto dropStaging = qScopeGuard([&] { QDir(staging).removeRecursively(); });
    Result<> made = makeSample(staging, options);
    if (made)
        made = FileOperations::renameWithoutReplacing(staging, path);
    if (!made) {
        printError(localized("The sample catalogue %1 cannot be made: %2")
                       .arg(QDir::toNativeSeparators(path), made.message()));
        return kFailure;
    }
    printOut(localized("Created the sample catalogue %1.").arg(QDir::toNativeSeparators(path)));
    return kSuccess;
}

} // namespace

std::vector<Command> demoCommands()
{
    return {
        {QStringLiteral("demo"), localized("Create a sample catalogue (of any size) with photos."), demo}};
}

} // namespace velumark::cli
