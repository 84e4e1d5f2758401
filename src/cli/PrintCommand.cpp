// Lists and record sheets printed to PDF files through the same renderer as the windows.
#include "cli/Commands.h"
#include "cli/InterruptHandler.h"
#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"
#include "editing/PageGeometry.h"
#include "editing/PdfExport.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Localization.h"
#include "store/Submission.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QPageSize>

namespace velumark::cli {

namespace {

using editing::PrintScreen;

struct PrintRequest
{
    PrintScreen list;
    QString record;
    bool outstanding = false;
};

std::optional<PrintScreen> listFromName(const QString &name)
{
    if (name == QLatin1String("artworks"))
        return PrintScreen::Artworks;
    if (name == QLatin1String("clients"))
        return PrintScreen::Clients;
    if (name == QLatin1String("submissions"))
        return PrintScreen::Submissions;
    return std::nullopt;
}

// The record of a sheet: the artwork with the title, the client with the company, or the newest
// submission of the artwork with the title.
Record *findRecord(const VelumarkDatabase &document, PrintScreen list, const QString &name)
{
    switch (list) {
    case PrintScreen::Artworks:
        for (const auto &artwork : document.artworks()) {
            if (artwork->title() == name)
                return artwork.get();
        }
        break;
    case PrintScreen::Clients:
        for (const auto &client : document.clients()) {
            if (client->company() == name)
                return client.get();
        }
        break;
    default:
        for (const auto &submission : document.submissions()) {
            if (submission->artwork() && submission->artwork()->title() == name)
                return submission.get();
        }
        break;
    }
    return nullptr;
}

std::optional<QPageSize> paperFromName(const QString &name)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
        const auto size = static_cast<QPageSize::PageSizeId>(id);
        if (QPageSize::key(size).compare(name, Qt::CaseInsensitive) == 0)
            return QPageSize(size);
    }
    return std::nullopt;
}

std::optional<editing::PrintOptions> optionsFor(const VelumarkDatabase &document, const PrintRequest &request)
{
    editing::PrintOptions options;
    options.screen = request.list;
    if (request.record.isNull())
        return options;
    options.record = findRecord(document, request.list, request.record);
    if (!options.record) {
        printError(localized("Nothing in the list is called \"%1\".").arg(request.record));
        return std::nullopt;
    }
    options.screen = request.outstanding ? PrintScreen::ClientOutstanding
                                         : static_cast<PrintScreen>(static_cast<int>(request.list) + 3);
    return options;
}

struct PrintFlags
{
    QCommandLineOption record{QStringLiteral("record"),
                              localized("Print the sheet of one record: the artwork with this title, the "
                                        "client with this company, or the newest submission of the "
                                        "artwork with this title."),
                              QStringLiteral("TITLE")};
    QCommandLineOption outstanding{
        QStringLiteral("outstanding"),
        localized("With a client's --record: print what is out at the client (its submissions that "
                  "wait for a response) instead of its sheet.")};
    QCommandLineOption search{QStringLiteral("search"),
                              localized("Print only the rows that contain TEXT, as the search field shows."),
                              QStringLiteral("TEXT")};
    QCommandLineOption landscape{QStringLiteral("landscape"), localized("Print across the paper.")};
    QCommandLineOption paper{QStringLiteral("paper"),
                             localized("The paper, such as A4 or Letter (default: the locale's)."),
                             QStringLiteral("NAME")};
};

// Writes the PDF and closes the catalogue; Ctrl-C stops between pages.
int writePdf(VelumarkDatabase &document, const editing::PrintOptions &options, const QPageLayout &pageSetup,
             const QString &path)
{
    bool interrupted = false;
    const InterruptHandler interrupt([&interrupted] { interrupted = true; });
    int pages = 0;
    const Result<> written =
        editing::PdfExport::write(document, options, pageSetup, path, [&](int, int total) {
            pages = total;
            QCoreApplication::processEvents();
            return !interrupted;
        });
    const bool closed = closeCatalogue(document);
    if (!written) {
        printError(written.message());
        return kFailure;
    }
    const QString shownPath = QDir::toNativeSeparators(path);
    printOut(pages == 1 ? localized("Printed 1 page to %1.").arg(shownPath)
                        : localized("Printed %1 pages to %2.").arg(QString::number(pages), shownPath));
    return closed ? kSuccess : kFailure;
}

int print(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(
        "Prints a list, or the sheet of one record, to a PDF file as the Print command lays it out."));
    parser.addPositionalArgument(QStringLiteral("PATH.vdb"), localized("The catalogue package."));
    parser.addPositionalArgument(QStringLiteral("artworks|clients|submissions"),
                                 localized("The list to print."));
    parser.addPositionalArgument(QStringLiteral("OUT.pdf"), localized("The PDF file to write."));
    const PrintFlags flags;
    for (const QCommandLineOption &option :
         {flags.record, flags.outstanding, flags.search, flags.landscape, flags.paper})
        parser.addOption(option);
    const QStringList names{QStringLiteral("PATH.vdb"), QStringLiteral("artworks|clients|submissions"),
                            QStringLiteral("OUT.pdf")};
    if (const int status = parseArguments(parser, QStringLiteral("print"), arguments, names, 3, 3);
        status >= 0)
        return status;
    const QStringList positional = parser.positionalArguments();
    const std::optional<PrintScreen> list = listFromName(positional.at(1));
    if (!list) {
        printError(
            localized("Unknown list \"%1\": use artworks, clients or submissions.").arg(positional.at(1)));
        return kUsageError;
    }
    if (parser.isSet(flags.outstanding) && (*list != PrintScreen::Clients || !parser.isSet(flags.record))) {
        printError(localized("--outstanding prints one client: give the list clients and --record."));
        return kUsageError;
    }
    QPageLayout pageSetup = editing::PageGeometry::defaultPageLayout();
    if (parser.isSet(flags.paper)) {
        const std::optional<QPageSize> size = paperFromName(parser.value(flags.paper));
        if (!size) {
            printError(localized("Unknown paper \"%1\".").arg(parser.value(flags.paper)));
            return kUsageError;
        }
        pageSetup.setPageSize(*size);
    }
    const PrintRequest request{*list, parser.isSet(flags.record) ? parser.value(flags.record) : QString(),
                               parser.isSet(flags.outstanding)};
    auto document = openCatalogue(positional.at(0));
    if (!document)
        return kFailure;
    std::optional<editing::PrintOptions> options = optionsFor(*document, request);
    if (!options) {
        closeCatalogue(*document);
        return kFailure;
    }
    options->orientation = parser.isSet(flags.landscape) ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (parser.isSet(flags.search))
        document->listController(static_cast<VelumarkDatabase::ListKind>(request.list))
            ->handleSearch(parser.value(flags.search));
    return writePdf(*document, *options, pageSetup, positional.at(2));
}

} // namespace

std::vector<Command> printCommands()
{
    return {{QStringLiteral("print"), localized("Print a list or a record's sheet to a PDF file."), print}};
}

} // namespace velumark::cli
