#include "interchange/csv/CsvImportParser.h"

#include "interchange/csv/CsvFieldReader.h"
#include "interchange/csv/CsvTemplate.h"
#include "store/Artist.h"
#include "store/Artwork.h"
#include "store/CalendarArithmetic.h"
#include "store/Client.h"
#include "store/Clock.h"
#include "store/DatabaseError.h"
#include "store/DateFormatting.h"
#include "store/DefaultMediums.h"
#include "store/FileOperations.h"
#include "store/Localization.h"
#include "store/Medium.h"
#include "store/Sqlite.h"
#include "store/StoredDate.h"
#include "store/Submission.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"

#include <algorithm>
#include <initializer_list>

namespace velumark {

namespace {

const auto kTemplatePath = QStringLiteral(":/velumark/velumarkdb.sql");

// Rows shorter than this are incomplete and skipped; later columns may be missing.
constexpr qsizetype kRequiredArtworkFields = 9;
constexpr qsizetype kRequiredClientFields = 12;
constexpr qsizetype kRequiredSubmissionFields = 8;
// Older files lack the last columns of these headers.
constexpr qsizetype kShortClientHeader = 13;
constexpr qsizetype kShortSubmissionHeader = 10;
// A title line may carry empty fields after its title, as a spreadsheet saves it.
constexpr int kTitleLineFields = 16;

constexpr qint64 kHighestClientType = 7;
constexpr qint64 kHighestState = 6;
constexpr qint64 kHighestSubmissionType = 6;

// Up to `count` fields of a row, ending at the first that is missing.
QStringList readFields(InputTextStream &stream, const QString &line, qsizetype count)
{
    std::optional<QString> current = line;
    qsizetype position = 0;
    QStringList fields;
    while (fields.size() < count) {
        std::optional<QString> field = readField(stream, current, position);
        if (!field)
            break;
        fields << *field;
    }
    return fields;
}

// abortOnError stays on: the database is our own, so a failure is the disk's or SQLite's and is
// raised, for parse() to end the import with it.
void store(Record &record, SqliteConnection *database)
{
    record.insertIntoDatabase(database);
    record.dehydrate();
}

// Ascending by localized case-insensitive comparison; names equal that way keep a fixed order.
QStringList sortedNames(const QSet<QString> &names)
{
    QStringList list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end(), [](const QString &a, const QString &b) {
        const int order = localizedCaseInsensitiveCompare(a, b);
        return order != 0 ? order < 0 : plainCompare(a, b) < 0;
    });
    return list;
}

template <typename NamedRecordType> void storeNames(const QSet<QString> &names, SqliteConnection *database)
{
    for (const QString &name : sortedNames(names)) {
        NamedRecordType record;
        record.setName(name);
        store(record, database);
    }
}

} // namespace

CsvImportParser::CsvImportParser(QString csvPath, QString databasePath, Progress progress)
    : m_csvPath(std::move(csvPath)), m_databasePath(std::move(databasePath)), m_progress(std::move(progress)),
      m_artworksTitle(CsvTemplate::artworksTitle()), m_clientsTitle(CsvTemplate::clientsTitle()),
      m_submissionsTitle(CsvTemplate::submissionsTitle()), m_artworkColumns(CsvTemplate::artworkColumns()),
      m_clientColumns(CsvTemplate::clientColumns()), m_submissionColumns(CsvTemplate::submissionColumns()),
      m_closed(localized("Closed"))
{}

CsvImportParser::~CsvImportParser() = default;

Result<CsvImportSummary> CsvImportParser::parse()
{
    // Every date of the file is read in the same time zone, looked up once.
    const TimeZoneScope zone;
    m_summary = {};
    m_section = Section::None;
    m_phase = Phase::NoSection;
    m_artworks.clear();
    m_clients.clear();
    m_dates.clear();
    m_mediumNames.clear();
    m_artistNames.clear();

    Result<> written;
    try {
        written = createDatabase();
        if (written)
            written = readFile();
        if (written)
            finishDatabase();
    } catch (const DatabaseError &failure) {
        written = Failure{localized("The import database could not be written: %1").arg(failure.message())};
    }
    m_stream.close();
    if (!written) {
        discardDatabase();
        return Failure{written.message()};
    }
    return m_summary;
}

Result<> CsvImportParser::createDatabase()
{
    if (!FileOperations::removeFileIfExists(m_databasePath) ||
        !FileOperations::copyFileFrom(kTemplatePath, m_databasePath))
        return Failure{localized("The import database could not be created at %1.").arg(m_databasePath)};
    QString reason;
    m_database = SqliteConnection::open(m_databasePath, SqliteConnection::Mode::ReadWrite, &reason);
    if (!m_database)
        return Failure{localized("The import database could not be opened: %1").arg(reason)};
    if (!m_database->exec("PRAGMA cache_size=50;") || !m_database->exec("begin exclusive transaction"))
        return Failure{
            localized("The import database could not be opened: %1").arg(m_database->errorMessage())};
    return {};
}

Result<> CsvImportParser::readFile()
{
    if (!m_stream.open(m_csvPath))
        return Failure{localized("The CSV file %1 could not be opened.").arg(m_csvPath)};
    for (;;) {
        std::optional<QString> line;
        const int status = m_stream.readLine(line);
        if ((status == InputTextStream::kLineRead || status == InputTextStream::kEndOfInput) && line &&
            !line->isEmpty() && !isCommentLine(*line))
            processLine(*line);
        if (m_progress)
            m_progress(m_stream.fractionRead());
        if (status != InputTextStream::kLineRead)
            break;
    }
    // Checked after the loop: a quoted field may have read further lines itself.
    if (m_stream.readFailed())
        return Failure{localized("The CSV file %1 could not be read to its end.").arg(m_csvPath)};
    m_summary.cut = m_stream.cut();
    m_summary.cutLine = m_stream.cutLine();
    return {};
}

bool CsvImportParser::isCommentLine(const QString &line)
{
    if (!line.startsWith(QLatin1String("//")) && !line.startsWith(QLatin1String("\"//")))
        return false;
    // Among a section's rows a record's first field may begin the same way ("//Untitled"): there a
    // comment is a line whose further fields are all empty (as a spreadsheet pads it).
    if (m_phase != Phase::Rows)
        return true;
    std::optional<QString> current = line;
    qsizetype position = 0;
    readField(m_singleLine, current, position);
    while (const std::optional<QString> field = readField(m_singleLine, current, position)) {
        if (!field->isEmpty())
            return false;
    }
    return true;
}

void CsvImportParser::processLine(const QString &line)
{
    if (m_phase == Phase::HeaderExpected) {
        takeHeaderLine(line);
        return;
    }
    if (takeTitleLine(line))
        return;
    if (m_phase == Phase::Rows)
        readRecord(line);
}

bool CsvImportParser::takeTitleLine(const QString &line)
{
    std::optional<QString> current = line;
    qsizetype position = 0;
    const std::optional<QString> title = readField(m_singleLine, current, position);
    Section section = Section::None;
    if (title == m_artworksTitle)
        section = Section::Artworks;
    else if (title == m_clientsTitle)
        section = Section::Clients;
    else if (title == m_submissionsTitle)
        section = Section::Submissions;
    else
        return false;
    for (int i = 0; i < kTitleLineFields; ++i) {
        const std::optional<QString> field = readField(m_singleLine, current, position);
        if (!field)
            break;
        if (!field->isEmpty())
            return false;
    }
    m_section = section;
    m_phase = Phase::HeaderExpected;
    if (section == Section::Submissions) {
        // Sorted once here, so that every submission row finds its artwork and client by binary
        // search. Rows stored after this point are not found.
        // The names are compared by their sort keys, which order as the localized comparison.
        const auto byKey = [](const StoredName &a, const StoredName &b) {
            return a.sortKey < b.sortKey;
        };
        for (auto *names : {&m_artworks, &m_clients}) {
            for (StoredName &name : *names)
                name.sortKey = localizedCaseInsensitiveSortKey(name.text);
            std::stable_sort(names->begin(), names->end(), byKey);
        }
    }
    return true;
}

const QStringList &CsvImportParser::sectionColumns() const
{
    return m_section == Section::Artworks  ? m_artworkColumns
           : m_section == Section::Clients ? m_clientColumns
                                           : m_submissionColumns;
}

void CsvImportParser::takeHeaderLine(const QString &line)
{
    const QStringList &columns = sectionColumns();
    const QStringList fields = readFields(m_singleLine, line, columns.size());
    qsizetype matched = 0;
    while (matched < fields.size() && fields.at(matched) == columns.at(matched))
        ++matched;
    const bool accepted = matched == columns.size() ||
                          (m_section == Section::Clients && matched >= kShortClientHeader) ||
                          (m_section == Section::Submissions && matched >= kShortSubmissionHeader);
    if (accepted) {
        m_phase = Phase::Rows;
    } else {
        // Its rows cannot be read without knowing their columns: skip to the next title line.
        m_section = Section::None;
        m_phase = Phase::NoSection;
    }
}

void CsvImportParser::readRecord(const QString &line)
{
    const QStringList fields = readFields(m_stream, line, sectionColumns().size());
    // A record whose field was cut short is not stored with what remained of it.
    if (m_stream.cut() != InputTextStream::Cut::None)
        return;
    switch (m_section) {
    case Section::Artworks:
        storeArtwork(fields);
        break;
    case Section::Clients:
        storeClient(fields);
        break;
    case Section::Submissions:
        storeSubmission(fields);
        break;
    case Section::None:
        break;
    }
}

void CsvImportParser::storeArtwork(const QStringList &fields)
{
    if (fields.size() < kRequiredArtworkFields || fields.at(0).isEmpty())
        return;
    const auto text = [&fields](qsizetype index) {
        return fields.value(index);
    };
    Artwork artwork;
    artwork.setTitle(text(0));
    if (!text(1).isEmpty())
        artwork.setArtist(text(1));
    artwork.setSale_loan(m_values.parseYesNo(text(2)));
    artwork.setPrice(m_values.parseMoney(text(3)));
    if (!text(4).isEmpty())
        artwork.setMedium(text(4));
    if (!text(5).isEmpty())
        artwork.setSize(text(5));
    if (const QDateTime created = parseDate(text(6)); created.isValid())
        artwork.setCreationDate(created);
    const CsvValueParser::Amount effort = m_values.parseAmount(text(7), VelumarkStrings::effortStrings(),
                                                               VelumarkStrings::pluralEffortStrings());
    if (effort.amount)
        artwork.setEffort(*effort.amount);
    if (effort.unit)
        artwork.setEffortUnits(*effort.unit);
    artwork.setMaterialCost(m_values.parseMoney(text(8)));
    if (!text(9).isEmpty())
        artwork.setLocation(text(9));
    if (!text(10).isEmpty())
        artwork.setNotes(text(10));

    store(artwork, m_database.get());
    ++m_summary.artworkCount;
    m_artworks.push_back({artwork.title(), artwork.primaryKey(), {}});
    if (!artwork.medium().isEmpty())
        m_mediumNames.insert(capitalized(artwork.medium()));
    if (!artwork.artist().isEmpty())
        m_artistNames.insert(capitalized(artwork.artist()));
}

void CsvImportParser::storeClient(const QStringList &fields)
{
    if (fields.size() < kRequiredClientFields || fields.at(0).isEmpty())
        return;
    const auto text = [&fields](qsizetype index) {
        return fields.value(index);
    };
    Client client;
    client.setCompany(text(0));
    client.setCommission(m_values.parseMoney(text(1)));
    client.setPayRate(m_values.parseMoney(text(2)));
    if (const QDateTime deadline = parseDate(text(3)); deadline.isValid())
        client.setDeadline(deadline);
    const CsvValueParser::Amount responseTime = m_values.parseAmount(
        text(4), VelumarkStrings::responseTimeStrings(), VelumarkStrings::pluralResponseTimeStrings());
    if (responseTime.amount)
        client.setResponseTime(*responseTime.amount);
    if (responseTime.unit)
        client.setResponseTimeUnits(*responseTime.unit);
    client.setStatus(capitalized(text(5)) != m_closed);
    const std::initializer_list<void (Client::*)(const QString &)> textSetters = {
        &Client::setContact, &Client::setAddress, &Client::setWeb,  &Client::setEmail,
        &Client::setPhone,   &Client::setFax,     &Client::setNotes};
    qsizetype index = 6;
    for (const auto setter : textSetters) {
        if (!text(index).isEmpty())
            (client.*setter)(text(index));
        ++index;
    }
    if (const auto type =
            m_values.parseEnumeration(text(13), VelumarkStrings::clientStrings(), kHighestClientType))
        client.setClientType(*type);

    store(client, m_database.get());
    ++m_summary.clientCount;
    m_clients.push_back({client.company(), client.primaryKey(), {}});
}

void CsvImportParser::storeSubmission(const QStringList &fields)
{
    if (fields.size() < kRequiredSubmissionFields)
        return;
    const auto text = [&fields](qsizetype index) {
        return fields.value(index);
    };
    const std::optional<qint64> artworkKey = findStored(m_artworks, text(0));
    const std::optional<qint64> clientKey = findStored(m_clients, text(1));
    const QDateTime sendDate = parseDate(text(2));
    if (!artworkKey || !clientKey || !sendDate.isValid())
        return;
    const qint64 response = m_values.parseResponseFlag(text(4));
    QDateTime responseDate = parseDate(text(5));
    if (!responseDate.isValid()) {
        // Without a response there is nothing to date; with one, the date is needed.
        if (response != ResponseFlag::Waiting)
            return;
        responseDate = CalendarArithmetic::roundDate(Clock::now());
    }

    Submission submission;
    submission.setArtworkKey(*artworkKey);
    submission.setClientKey(*clientKey);
    submission.setSendDate(sendDate);
    if (const QDateTime due = parseDate(text(3)); due.isValid()) {
        submission.setResponseDueDate(due);
        submission.setValidDueDate(true);
    }
    submission.setResponseReceived(response);
    submission.setResponseDate(responseDate);
    if (const auto state = m_values.parseEnumeration(text(6), VelumarkStrings::stateStrings(), kHighestState))
        submission.setSubmissionState(*state);
    submission.setIncome(m_values.parseMoney(text(7)));
    if (!text(8).isEmpty())
        submission.setNotes(text(8));
    submission.setReleaseSigned(m_values.parseYesNo(text(9)));
    if (const auto type =
            m_values.parseEnumeration(text(10), VelumarkStrings::typeStrings(), kHighestSubmissionType))
        submission.setSubmissionType(*type);
    submission.setExhibited(m_values.parseYesNo(text(11)));

    store(submission, m_database.get());
    ++m_summary.submissionCount;
}

void CsvImportParser::finishDatabase()
{
    m_summary.mediumCount = m_mediumNames.size();
    m_summary.artistCount = m_artistNames.size();
    QSet<QString> mediums = m_mediumNames;
    for (const QString &name : defaultMediumNames())
        mediums.insert(capitalized(name));
    storeNames<Medium>(mediums, m_database.get());
    storeNames<Artist>(m_artistNames, m_database.get());
    insertExportHeader(m_summary.artworkCount, m_summary.clientCount, m_summary.submissionCount,
                       m_summary.mediumCount, m_summary.artistCount);

    if (!m_database->exec("commit transaction"))
        VELUMARK_RAISE(QStringLiteral("CsvImportParser"),
                       formatFailure("Error: failed to commit transaction with message '%s'.",
                                     m_database->errorMessage()));
    if (!m_database->close())
        VELUMARK_RAISE(
            QStringLiteral("CsvImportParser"),
            formatFailure("Error: failed to close database with message '%s'.", m_database->errorMessage()));
    m_database.reset();
}

void CsvImportParser::insertExportHeader(qint64 artworkCount, qint64 clientCount, qint64 submissionCount,
                                         qint64 mediumCount, qint64 artistCount)
{
    const auto statement = m_database->prepare(
        "INSERT INTO version (version_num, creation_date, comments, app_identifier, app_version, "
        "export_date, num_artworks, num_clients, num_submissions, num_mediums, num_artists) VALUES(?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!statement)
        VELUMARK_RAISE(QStringLiteral("CsvImportParser"),
                       formatFailure("Error: failed to prepare statement with message '%s'.",
                                     m_database->errorMessage()));
    const double now = storedSecondsFromDate(Clock::now());
    statement->bindInt64(1, 3);
    statement->bindDouble(2, now);
    statement->bindText(3, QStringLiteral("Full"));
    statement->bindInt64(4, 0);
    statement->bindDouble(5, 1.3);
    statement->bindDouble(6, now);
    statement->bindInt64(7, artworkCount);
    statement->bindInt64(8, clientCount);
    statement->bindInt64(9, submissionCount);
    statement->bindInt64(10, mediumCount);
    statement->bindInt64(11, artistCount);
    if (statement->step() != SqliteStatement::Step::Done)
        VELUMARK_RAISE(QStringLiteral("CsvImportParser"),
                       formatFailure("Error: failed to insert into the database with message '%s'.",
                                     m_database->errorMessage()));
}

void CsvImportParser::discardDatabase()
{
    // Closing without a commit rolls back; the half-written file must not be merged by anyone.
    m_database.reset();
    FileOperations::removeFileIfExists(m_databasePath);
}

std::optional<qint64> CsvImportParser::findStored(const std::vector<StoredName> &sorted, const QString &text)
{
    const QByteArray key = localizedCaseInsensitiveSortKey(text);
    const auto found =
        std::lower_bound(sorted.begin(), sorted.end(), key,
                         [](const StoredName &name, const QByteArray &k) { return name.sortKey < k; });
    if (found == sorted.end() || found->sortKey != key)
        return std::nullopt;
    return found->key;
}

QDateTime CsvImportParser::parseDate(const QString &text)
{
    // Many rows share a date: each text is read once. The limit keeps a file of countless
    // different dates from filling the memory.
    constexpr qsizetype kMostKept = 10000;
    if (const auto kept = m_dates.constFind(text); kept != m_dates.cend())
        return *kept;
    if (m_dates.size() >= kMostKept)
        m_dates.clear();
    return *m_dates.insert(text, m_values.parseDate(text));
}

} // namespace velumark
