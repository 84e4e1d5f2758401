// The commands that make, summarize and list a catalogue.
#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/CatalogueStatistics.h"
#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"
#include "store/Localization.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace velumark::cli {

namespace {

// One row of a list: the heading band, the texts of each column and the marks, as the window
// draws them.
void printRow(const CellContent &first, const CellContent *second, const QString &mark)
{
    if (first.isSectionHeading)
        printOut(QStringLiteral("== %1 ==").arg(first.sectionHeading));
    QStringList fields;
    auto add = [&](const QString &text) {
        if (!text.isEmpty())
            fields << text;
    };
    for (const CellContent *cell : {&first, second}) {
        if (!cell)
            continue;
        add(cell->mainText);
        add(cell->subText);
        add(cell->moreSubText);
        add(cell->last1SubText);
        add(cell->last2SubText);
        add(cell->mainExtraColumn);
        add(cell->subExtraColumn);
    }
    QStringList icons;
    if (!first.statusImage.isEmpty())
        icons << first.statusImage;
    if (!first.statusImage2.isEmpty())
        icons << first.statusImage2;
    if (!icons.isEmpty())
        fields << QStringLiteral("[%1]").arg(icons.join(QStringLiteral(", ")));
    const bool marked = !first.backgroundImage.isEmpty();
    printOut((marked ? mark : QStringLiteral("  ")) + fields.join(QStringLiteral(" | ")));
}

int newCatalogue(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized("Creates a new, empty catalogue."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package to create."));
    if (const int status =
            parseArguments(parser, QStringLiteral("new"), arguments, {QStringLiteral("PATH.vdb")}, 1, 1);
        status >= 0)
        return status;
    const QString path = parser.positionalArguments().at(0);
    if (QFileInfo::exists(path)) {
        printError(localized("%1 already exists.").arg(QDir::toNativeSeparators(path)));
        return kFailure;
    }
    auto document = openCatalogue(path, true);
    if (!document || !closeCatalogue(*document))
        return kFailure;
    printOut(localized("Created the catalogue %1.").arg(QDir::toNativeSeparators(path)));
    return kSuccess;
}

int stats(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized("Prints the statistics of a catalogue."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    if (const int status =
            parseArguments(parser, QStringLiteral("stats"), arguments, {QStringLiteral("PATH.vdb")}, 1, 1);
        status >= 0)
        return status;
    auto document = openCatalogue(parser.positionalArguments().at(0));
    if (!document)
        return kFailure;
    for (const CatalogueStatistics::Line &line : CatalogueStatistics::of(*document).lines())
        printOut(QStringLiteral("%1 %2").arg(line.label, -20).arg(line.figure));
    return closeCatalogue(*document) ? kSuccess : kFailure;
}

int list(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Prints the rows a list of the catalogue shows: the texts of each cell, section headings "
        "(\"== ... ==\") and marks (\"! \" for an overdue submission or a client near its deadline)."));
    parser.addPositionalArgument(QStringLiteral("artworks|clients|submissions"),
                                 localized("The list to print."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    const QCommandLineOption search(QStringLiteral("search"),
                                    localized("Show only rows that contain TEXT, as the "
                                              "search field does."),
                                    QStringLiteral("TEXT"));
    parser.addOption(search);
    if (const int status = parseArguments(
            parser, QStringLiteral("list"), arguments,
            {QStringLiteral("artworks|clients|submissions"), QStringLiteral("PATH.vdb")}, 2, 2);
        status >= 0)
        return status;
    const QString which = parser.positionalArguments().at(0);
    VelumarkDatabase::ListKind kind;
    if (which == QLatin1String("artworks"))
        kind = VelumarkDatabase::ListKind::Artworks;
    else if (which == QLatin1String("clients"))
        kind = VelumarkDatabase::ListKind::Clients;
    else if (which == QLatin1String("submissions"))
        kind = VelumarkDatabase::ListKind::Submissions;
    else {
        printError(localized("Unknown list \"%1\": use artworks, clients or submissions.").arg(which));
        return kUsageError;
    }
    auto document = openCatalogue(parser.positionalArguments().at(1));
    if (!document)
        return kFailure;
    RecordList &rows = *document->listController(kind);
    rows.handleSearch(parser.value(search));
    for (qsizetype row = 0; row < rows.rowCount(); ++row) {
        const CellContent first = rows.cell(row, 0);
        const CellContent second = rows.columnCount() > 1 ? rows.cell(row, 1) : CellContent();
        printRow(first, rows.columnCount() > 1 ? &second : nullptr, QStringLiteral("! "));
    }
    return closeCatalogue(*document) ? kSuccess : kFailure;
}

} // namespace

std::vector<Command> catalogueCommands()
{
    return {
        {QStringLiteral("new"), localized("Create a new, empty catalogue."), newCatalogue},
        {QStringLiteral("stats"), localized("Print the statistics of a catalogue."), stats},
        {QStringLiteral("list"), localized("Print the rows of the artwork, client or submission list."),
         list},
    };
}

} // namespace velumark::cli
