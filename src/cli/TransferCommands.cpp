// The commands that move data in and out of a catalogue: databases, CSV files, the report.
#include "cli/Commands.h"
#include "cli/ProgressReporter.h"
#include "document/PackageDestination.h"
#include "document/VelumarkDatabase.h"
#include "interchange/InterchangeHandOver.h"
#include "interchange/LongOperation.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace velumark::cli {

namespace {

QCommandLineOption scopeOption()
{
    return QCommandLineOption(QStringLiteral("scope"),
                              localized("What to transfer: %1 (default: complete).").arg(scopeNames()),
                              QStringLiteral("SCOPE"), QStringLiteral("complete"));
}

std::optional<TransferScope> readScope(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    const std::optional<TransferScope> scope = scopeFromName(parser.value(option));
    if (!scope)
        printError(localized("Unknown scope \"%1\": use %2.").arg(parser.value(option), scopeNames()));
    return scope;
}

// Runs an operation that the hand-over started on the open catalogue, then closes it.
int follow(VelumarkDatabase &document, const Result<LongOperation *> &operation, ProgressReporter &reporter)
{
    int status = kFailure;
    if (operation)
        status = reporter.waitFor(*operation.value());
    else
        printError(operation.message());
    return closeCatalogue(document) ? status : kFailure;
}

int exportCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Exports a catalogue to an interchange file (.vdbi, pictures inside), another catalogue package "
        "(.vdb) or a CSV file (.csv). An existing .vdbi or .csv file is replaced. An existing catalogue "
        "package is replaced only with --replace; anything else that exists under a .vdb name is never "
        "touched."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("DEST"), localized("DEST.vdbi, DEST.vdb or DEST.csv."));
    const QCommandLineOption scope = scopeOption();
    const QCommandLineOption replace(QStringLiteral("replace"),
                                     localized("Replace the catalogue package that exists at DEST.vdb."));
    parser.addOption(scope);
    parser.addOption(replace);
    if (const int status = parseArguments(parser, QStringLiteral("export"), arguments,
                                          {QStringLiteral("PATH.vdb"), QStringLiteral("DEST")}, 2, 2);
        status >= 0)
        return status;
    const std::optional<TransferScope> scopeChosen = readScope(parser, scope);
    if (!scopeChosen)
        return kUsageError;
    auto document = openCatalogue(parser.positionalArguments().at(0));
    if (!document)
        return kFailure;
    const QString destination = QFileInfo(parser.positionalArguments().at(1)).absoluteFilePath();
    InterchangeHandOver handOver;
    ProgressReporter reporter(OperationTexts::databaseExport());
    const ExistingCatalogue existing =
        parser.isSet(replace) ? ExistingCatalogue::Replace : ExistingCatalogue::Keep;
    Result<LongOperation *> operation =
        handOver.exportLocalDatabase(destination, *scopeChosen, &reporter, existing);
    if (!operation && existing == ExistingCatalogue::Keep &&
        PackageDestination::problemAt(destination, existing) == PackageDestination::Problem::CatalogueExists)
        operation =
            Failure{operation.message() + QLatin1Char('\n') + localized("Add --replace to replace it.")};
    return follow(*document, operation, reporter);
}

int importCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Imports an interchange file (.vdbi), another catalogue package (.vdb) or a CSV file (.csv) into a "
        "catalogue. Records are added with new keys; nothing of the catalogue changes unless the whole "
        "import succeeds.\n--restore replaces every record of the catalogue by those of a complete "
        "database (a complete restore); this is an addition of the command line, the windows offer a "
        "restore only from a device."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 localized("SOURCE.vdbi, SOURCE.vdb or SOURCE.csv."));
    const QCommandLineOption scope = scopeOption();
    const QCommandLineOption restore(
        QStringLiteral("restore"),
        localized("Replace every record by those of the source (complete scope only)."));
    parser.addOption(scope);
    parser.addOption(restore);
    if (const int status = parseArguments(parser, QStringLiteral("import"), arguments,
                                          {QStringLiteral("PATH.vdb"), QStringLiteral("SOURCE")}, 2, 2);
        status >= 0)
        return status;
    const std::optional<TransferScope> scopeChosen = readScope(parser, scope);
    if (!scopeChosen)
        return kUsageError;
    if (parser.isSet(restore) && *scopeChosen != TransferScope::Complete) {
        printError(localized("--restore needs the complete scope."));
        return kUsageError;
    }
    auto document = openCatalogue(parser.positionalArguments().at(0));
    if (!document)
        return kFailure;
    const QString source = QFileInfo(parser.positionalArguments().at(1)).absoluteFilePath();
    InterchangeHandOver handOver;
    ProgressReporter reporter(OperationTexts::databaseImport());
    return follow(*document,
                  handOver.importLocalDatabase(source, *scopeChosen, &reporter, parser.isSet(restore)),
                  reporter);
}

int reportCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        localized("Writes an HTML report of the artworks with their photos into a folder."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), localized("The folder to write the report into."));
    const QCommandLineOption name(
        QStringLiteral("name"),
        localized("The report's file name (default: %1).").arg(QStringLiteral("velumark_report.html")),
        QStringLiteral("FILE.html"));
    const QCommandLineOption photos(
        QStringLiteral("photos"),
        localized("Photo size: small, medium, large or extra-large (default: small)."),
        QStringLiteral("SIZE"), QStringLiteral("small"));
    parser.addOption(name);
    parser.addOption(photos);
    if (const int status = parseArguments(parser, QStringLiteral("report"), arguments,
                                          {QStringLiteral("PATH.vdb"), QStringLiteral("FOLDER")}, 2, 2);
        status >= 0)
        return status;
    const QStringList sizes{QStringLiteral("small"), QStringLiteral("medium"), QStringLiteral("large"),
                            QStringLiteral("extra-large")};
    const std::optional<PictureSize> size =
        pictureSizeFromCode(static_cast<int>(sizes.indexOf(parser.value(photos))) + 1);
    if (!size) {
        printError(localized("Unknown photo size \"%1\": use %2.")
                       .arg(parser.value(photos), sizes.join(QLatin1Char('|'))));
        return kUsageError;
    }
    auto document = openCatalogue(parser.positionalArguments().at(0));
    if (!document)
        return kFailure;
    InterchangeHandOver handOver;
    ProgressReporter reporter(OperationTexts::reportExport());
    return follow(*document,
                  handOver.exportReport(QFileInfo(parser.positionalArguments().at(1)).absoluteFilePath(),
                                        parser.value(name), *size, &reporter),
                  reporter);
}

} // namespace

std::vector<Command> transferCommands()
{
    return {
        {QStringLiteral("export"),
         localized("Export a catalogue to a .vdbi file, a .vdb package or a CSV file."), exportCommand},
        {QStringLiteral("import"),
         localized("Import a .vdbi file, a .vdb package or a CSV file into a catalogue."), importCommand},
        {QStringLiteral("report"), localized("Write an HTML report of the artworks with their photos."),
         reportCommand},
    };
}

} // namespace velumark::cli
