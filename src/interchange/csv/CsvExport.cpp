#include "interchange/csv/CsvExport.h"

#include "interchange/ExportFile.h"
#include "interchange/SnapshotReader.h"
#include "interchange/csv/CsvExportLines.h"
#include "interchange/csv/CsvTemplate.h"
#include "store/Clock.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"

#include <QLocale>
#include <unordered_map>

namespace velumark {

namespace {

// A record's identifying text, short enough for a message.
QString shortened(const QString &text)
{
    constexpr qsizetype kLongest = 60;
    return text.size() <= kLongest ? text : text.left(kLongest) + QStringLiteral("...");
}

} // namespace

CsvExport::CsvExport(VelumarkDatabase &document, QString destination, TransferScope scope, QObject *parent)
    : DocumentExport(document, parent), m_destination(std::move(destination)), m_scope(scope)
{}

Result<> CsvExport::checkParameters()
{
    if (m_destination.isEmpty())
        return Failure{localized("No file was chosen for the CSV export.")};
    return {};
}

Result<> CsvExport::run()
{
    // Every date of the file is written in the same time zone, looked up once, and every
    // submission read is judged overdue against the same today.
    const TimeZoneScope zone;
    const Clock::TodayScope today;
    const CatalogueSnapshot &lists = snapshot();
    SnapshotReader reader(lists);
    ExportFile file(m_destination);
    Result<> written = file.open();
    if (written)
        written = file.outputString(CsvExportLines::commentLines(Clock::now()));
    if (!written)
        return written;

    const bool artworks = carriesArtworks(m_scope);
    const bool clients = carriesClients(m_scope);
    const bool submissions = carriesSubmissions(m_scope);
    m_total = static_cast<qint64>((artworks ? lists.artworkKeys.size() : 0) +
                                  (clients ? lists.clientKeys.size() : 0) +
                                  (submissions ? lists.submissionKeys.size() : 0));
    m_done = 0;

    if (artworks) {
        written = writeSection(file, CsvTemplate::artworksTitle(), CsvTemplate::artworkColumns(),
                               lists.artworkKeys, [&](qint64 key) -> Line {
                                   const auto artwork = reader.artwork(key, true);
                                   if (artwork->title().isEmpty())
                                       return {};
                                   return {CsvExportLines::artworkLine(*artwork),
                                           localized("The artwork \"%1\"").arg(shortened(artwork->title()))};
                               });
        if (!written)
            return written;
    }
    if (clients) {
        written = writeSection(file, CsvTemplate::clientsTitle(), CsvTemplate::clientColumns(),
                               lists.clientKeys, [&](qint64 key) -> Line {
                                   const auto client = reader.client(key, true);
                                   if (client->company().isEmpty())
                                       return {};
                                   return {CsvExportLines::clientLine(*client),
                                           localized("The client \"%1\"").arg(shortened(client->company()))};
                               });
        if (!written)
            return written;
    }
    if (submissions) {
        if (written = writeSubmissions(file, reader); !written)
            return written;
    }
    // A cancel that came after the last record still keeps the old file.
    if (isAborted())
        return stopped();
    if (written = file.commit(); !written)
        return written;
    reportProgress(100);
    return {};
}

Result<> CsvExport::writeSubmissions(ExportFile &file, SnapshotReader &reader)
{
    const CatalogueSnapshot &lists = snapshot();
    // Many submissions name the same artwork and client: each name is read once.
    std::unordered_map<qint64, QString> titles;
    std::unordered_map<qint64, QString> companies;
    auto titleOf = [&](qint64 key) -> const QString & {
        auto it = titles.find(key);
        if (it == titles.end())
            it = titles.emplace(key, reader.artwork(key, false)->title()).first;
        return it->second;
    };
    auto companyOf = [&](qint64 key) -> const QString & {
        auto it = companies.find(key);
        if (it == companies.end())
            it = companies.emplace(key, reader.client(key, false)->company()).first;
        return it->second;
    };
    return writeSection(
        file, CsvTemplate::submissionsTitle(), CsvTemplate::submissionColumns(), lists.submissionKeys,
        [&](qint64 key) -> Line {
            const auto artwork = lists.artworkOfSubmission.find(key);
            const auto client = lists.clientOfSubmission.find(key);
            if (artwork == lists.artworkOfSubmission.end() || client == lists.clientOfSubmission.end())
                return {};
            const QString &title = titleOf(artwork->second);
            const QString &company = companyOf(client->second);
            return {
                CsvExportLines::submissionLine(*reader.submission(key, true), title, company),
                localized("The submission of \"%1\" to \"%2\"").arg(shortened(title), shortened(company))};
        });
}

template <typename LineOf>
Result<> CsvExport::writeSection(ExportFile &file, const QString &title, const QStringList &columns,
                                 const std::vector<qint64> &keys, LineOf lineOf)
{
    if (isAborted())
        return stopped();
    if (Result<> written = file.outputString(CsvExportLines::sectionStart(title, columns)); !written)
        return written;
    for (const qint64 key : keys) {
        if (isAborted())
            return stopped();
        const Line line = lineOf(key);
        // Better no file than one whose import would stop at this record.
        if (line.text.size() > CsvExportLines::kMaximumRecordLength)
            return Failure{
                localized("%1 cannot be written to a CSV file: its texts are longer than the %2 "
                          "characters the CSV import reads back. Shorten them, or export to a .vdbi "
                          "file instead.")
                    .arg(line.record)
                    .arg(QLocale().toString(CsvExportLines::kMaximumRecordLength))};
        if (!line.text.isEmpty()) {
            if (Result<> written = file.outputString(line.text); !written)
                return written;
        }
        recordDone();
    }
    return {};
}

void CsvExport::recordDone()
{
    ++m_done;
    // Skipped records count too, so the bar reaches the end.
    if (m_total > 0)
        reportProgress(static_cast<double>(m_done) * 100.0 / static_cast<double>(m_total));
}

CsvExport::~CsvExport()
{
    stopWorker();
}

} // namespace velumark
