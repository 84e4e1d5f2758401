#include "interchange/csv/CsvImportParser.h"

#include "CsvTestFile.h"
#include "store/Clock.h"
#include "store/Sqlite.h"
#include "store/StoredDate.h"
#include "support/Succeeded.h"

#include <QFileInfo>
#include <sqlite3.h>

using namespace velumark;

namespace {

const QByteArray kArtworkHeader =
    "Title,Artist,Sale/Loan,Price,Medium,Size,Created,Effort,Material Cost,Location,Notes";
const QByteArray kClientHeader =
    "Company,Commission,Pay Rate,Deadline,Response Time,Status,Contact,Address,Web,Email,Phone,Fax,Notes";
const QByteArray kSubmissionHeader =
    "Artwork,Client,Send Date,Response Due,Response?,Response Date,State,Income,"
    "Notes,Release Signed?,Submission Type,Exhibited?";

class CsvImport : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixedNow(m_now); }
    void TearDown() override { Clock::clearFixedNow(); }

    // Imports the bytes, which must succeed, and opens the database written.
    CsvImportSummary import(const QByteArray &csv)
    {
        m_database.reset();
        const QString csvPath = test::writeBytes(m_folder, QStringLiteral("import.csv"), csv);
        const Result<CsvImportSummary> result = CsvImportParser(csvPath, databasePath()).parse();
        EXPECT_TRUE(succeeded(result));
        if (!result)
            return {};
        m_database = SqliteConnection::open(databasePath(), SqliteConnection::Mode::ReadOnly);
        return result.value();
    }

    QString databasePath() const { return m_folder.filePath(QStringLiteral("temp_velumark_import.db")); }

    // Every row of a query, its columns joined by "|" (NULL as "null"), the rows by line feeds.
    QString rows(const char *sql)
    {
        QStringList rows;
        auto statement = m_database ? m_database->prepare(sql) : nullptr;
        while (statement && statement->step() == SqliteStatement::Step::Row) {
            QStringList columns;
            for (int i = 0; i < sqlite3_column_count(statement->handle()); ++i)
                columns << (statement->columnIsNull(i) ? QStringLiteral("null") : statement->columnText(i));
            rows << columns.join(QLatin1Char('|'));
        }
        return rows.join(QLatin1Char('\n'));
    }

    // The numbers of artworks, clients and submissions stored.
    static std::string counts(const CsvImportSummary &result)
    {
        return std::to_string(result.artworkCount) + " " + std::to_string(result.clientCount) + " " +
               std::to_string(result.submissionCount);
    }

    static QString seconds(int year, int month, int day)
    {
        return QString::number(storedSecondsFromDate(QDate(year, month, day).startOfDay()), 'f', 1);
    }

    const QDateTime m_now{QDate(2024, 6, 11), QTime(15, 30)};
    QTemporaryDir m_folder;
    std::unique_ptr<SqliteConnection> m_database;
};

} // namespace

// As a spreadsheet saves the file: byte order mark, CR LF, sections padded with commas, the client
// header of 13 columns, quoted fields across lines, values in other letter cases.
TEST_F(CsvImport, SpreadsheetFileWithAllSectionsIsStoredAndLinked)
{
    const QByteArray csv =
        "\xEF\xBB\xBF"
        "\"// Exported from Velumark 1.3 on Jan 5, 2013, 10:00:00 AM\"\r\n"
        "\"// Refer to the Velumark CSV template file for formatting guidelines.\"\r\n"
        "\r\n"
        "Artworks,,,,,,,,,,\r\n" +
        kArtworkHeader +
        "\r\n"
        "\"Moon over Water\",\"ann lee\",\"yes\",\"1,250.00\",\"oil on canvas\",\"40 x 50\",\"Jan 5,2013\","
        "\"3 Hours\",\"12.346\",\"Studio\",\"He said \"\"fine\"\", then\r\nleft\"\r\n"
        "\xC3\x89tude,Bob,No,,pen and ink,,,three hours,,,\r\n"
        "Sunset,,N,abc,,,not a date,3 fortnights,0,,\r\n"
        ",Nobody,Yes,1,Oil,,,,,,\r\n"
        "Short,row,Yes\r\n"
        "\r\n"
        "Clients,,,\r\n" +
        kClientHeader +
        "\r\n"
        "Gallery Nord,10.5,0,\"Feb 1, 2014\",2 weeks,closed,Eva,\"Street "
        "1\r\nBerlin\",web,mail,phone,fax,notes\r\n"
        "\"Museum S\xC3\xBC"
        "d\",0,0,,1 month,Open,,,,,,,\r\n"
        "Submissions\r\n" +
        kSubmissionHeader +
        "\r\n"
        "MOON OVER WATER,gallery nord,\"Jan 10, 2013\",\"Feb 10, 2013\",yes,\"Feb 1, 2013\",sold,500,,y,"
        "group exhibition,YES\r\n"
        "\xC3\x89tude,Museum S\xC3\xBC"
        "d,\"Mar 1, 2013\",,n,,,,,,,\r\n"
        "Unknown Work,Gallery Nord,\"Mar 1, 2013\",,no,,,,,,,\r\n"
        "Sunset,Museum S\xC3\xBC"
        "d,\"Mar 2, 2013\",,w,,,,,,,\r\n"
        "Sunset,Nowhere,\"Mar 2, 2013\",,n,,,,,,,\r\n"
        "Sunset,Museum S\xC3\xBC"
        "d,not a date,,n,,,,,,,\r\n";
    const CsvImportSummary result = import(csv);
    EXPECT_EQ(result.cut, InputTextStream::Cut::None);
    EXPECT_EQ(counts(result), "3 2 2");
    EXPECT_EQ(result.mediumCount, 2);
    EXPECT_EQ(result.artistCount, 2);

    EXPECT_EQ(rows("SELECT title, artist, sale_loan, price, medium, size, created, effort, effort_units, "
                   "material_cost, location, notes FROM artwork ORDER BY pk"),
              QStringLiteral("Moon over Water|ann lee|1|1250.0|oil on canvas|40 x 50|%1|3|2|12.35|Studio|He "
                             "said \"fine\", then\nleft\n"
                             "Étude|Bob|0|0.0|pen and ink|null|0.0|0|2|0.0|null|null\n"
                             "Sunset|null|0|0.0|null|null|0.0|3|0|0.0|null|null")
                  .arg(seconds(2013, 1, 5)));
    EXPECT_EQ(
        rows("SELECT company, commission, deadline, response_time, response_time_units, status, contact, "
             "address, notes, client_type FROM client ORDER BY pk"),
        QStringLiteral("Gallery Nord|10.5|%1|2|2|0|Eva|Street 1\nBerlin|notes|0\n"
                       "Museum Süd|0.0|0.0|1|3|1|null|null|null|0")
            .arg(seconds(2014, 2, 1)));
    EXPECT_EQ(rows("SELECT artwork_key, client_key, sent_date, valid_due_date, response_due_date, response, "
                   "response_date, state, income, release_signed, submission_type, exhibited FROM submission "
                   "ORDER BY pk"),
              QStringLiteral("1|1|%1|1|%2|1|%3|1|500.0|1|3|1\n2|2|%4|0|0.0|0|%5|0|0.0|0|0|0")
                  .arg(seconds(2013, 1, 10), seconds(2013, 2, 10), seconds(2013, 2, 1), seconds(2013, 3, 1),
                       seconds(2024, 6, 11)))
        << "without a response, the response date is today";
    EXPECT_EQ(
        rows("SELECT name FROM medium ORDER BY pk"),
        QStringLiteral("Acrylic\nBonsai\nDigital\nOil\nOil On Canvas\nPen And Ink\nPhotograph\nPottery\n"
                       "Sculpture\nWatercolor"));
    EXPECT_EQ(rows("SELECT name FROM artist ORDER BY pk"), QStringLiteral("Ann Lee\nBob"));
    EXPECT_EQ(
        rows("SELECT version_num, creation_date, comments, app_identifier, app_version, export_date, "
             "num_artworks, num_clients, num_submissions, num_mediums, num_artists, num_images FROM version"),
        QStringLiteral("3|%1|Full|0|1.3|%1|3|2|2|2|2|null")
            .arg(QString::number(storedSecondsFromDate(m_now), 'f', 1)));
}

TEST_F(CsvImport, MisspeltHeaderSkipsOnlyItsSectionAndShortHeadersAreAccepted)
{
    // Windows-1252, as a spreadsheet saves "CSV" on a Western-language system.
    const QByteArray csv = "Artworks\r\n" + QByteArray(kArtworkHeader).replace("Effort", "Efort") +
                           "\r\n"
                           "Lost Work,,Yes,1,,,,,,,\r\n"
                           "Clients\r\n" +
                           kClientHeader +
                           ",Client Type\r\n"
                           "Caf\xE9 Gallery,5,0,,,,,,,,,,,gallery\r\n"
                           "Artworks\r\n" +
                           kArtworkHeader +
                           "\r\n"
                           "Second Work,,Yes,1,,,,,,,\r\n"
                           "Submissions\r\n"
                           "Artwork,Client,Send Date,Response Due,Response?,Response Date,State,Income,Notes,"
                           "Release Signed?\r\n"
                           "second work,CAF\xC9 GALLERY,\"Jan 5, 2013\",,n,,,,\x93quoted\x94,Yes\r\n";
    EXPECT_EQ(counts(import(csv)), "1 1 1");
    EXPECT_EQ(rows("SELECT title FROM artwork"), QStringLiteral("Second Work"));
    EXPECT_EQ(rows("SELECT company, client_type FROM client"), QStringLiteral("Café Gallery|1"));
    EXPECT_EQ(rows("SELECT artwork_key, client_key, notes, release_signed, submission_type, exhibited "
                   "FROM submission"),
              QStringLiteral("1|1|“quoted”|1|0|0"));
}

TEST_F(CsvImport, FilesWithoutRecordsStoreNothing)
{
    for (const QByteArray &csv : {QByteArray(), QByteArray("\"// a comment\"\r\n// another\r\n\r\n"),
                                  QByteArray("Artworks\nTitle,Artist\nNo Header,Match\n")}) {
        EXPECT_EQ(counts(import(csv)), "0 0 0") << csv.toStdString();
        EXPECT_EQ(
            rows("SELECT num_artworks, num_clients, num_submissions, num_mediums, (SELECT count(*) FROM "
                 "medium) FROM version"),
            QStringLiteral("0|0|0|0|9"));
    }
}

// Comments wherever a spreadsheet leaves them, and records whose first field begins like one.
TEST_F(CsvImport, CommentLinesNeverSwallowRecords)
{
    const QByteArray csv =
        "// written by hand, with a comma\n"
        "Artworks\n"
        "\"// between title and header\",,,\n" +
        kArtworkHeader +
        "\n\"//Untitled\",\"ann\",\"Yes\",\"1.00\",\"\",\"\",\"\",\"\",\"0.00\",\"\",\"\"\n"
        "\"// a comment among the rows\"\n"
        "// padded by a spreadsheet,,,,,,,,,,\n"
        "//Unquoted,bob,No,2,,,,,,,\n"
        "\"// a \"\"quote\"\" left open\n"
        "Last,,Yes,3,,,,,,,\n";
    const CsvImportSummary result = import(csv);
    EXPECT_EQ(result.cut, InputTextStream::Cut::None);
    EXPECT_EQ(rows("SELECT title, artist FROM artwork ORDER BY pk"),
              QStringLiteral("//Untitled|ann\n//Unquoted|bob\nLast|null"));
}

TEST_F(CsvImport, SubmissionsBeforeTheirArtworksAndClientsLinkNothing)
{
    const QByteArray csv = "Submissions\n" + kSubmissionHeader +
                           "\nEarly,Someone,\"Jan 5, 2013\",,n,,,,,,,\n" + "Artworks\n" + kArtworkHeader +
                           "\nEarly,,Yes,1,,,,,,,\nClients\n" + kClientHeader +
                           ",Client Type\nSomeone,0,0,,,,,,,,,,,\n";
    EXPECT_EQ(counts(import(csv)), "1 1 0");
}

// A line too long, a quoted field that grows too long and one the file ends inside: the rows before
// are stored, the row that was cut is not, and the result says what cut the reading and where.
TEST_F(CsvImport, ReadingCutShortSaysWhatAndFromWhichLine)
{
    const QByteArray start = "Artworks\r\n" + kArtworkHeader + "\r\nBefore,,Yes,1,,,,,,,\r\n";
    const QByteArray after = "\r\nAfter,,Yes,1,,,,,,,\r\n";
    QByteArray runaway = "Cut,,Yes,1,,,,,,,\"";
    while (runaway.size() <= kMaximumFieldLength + 2000)
        runaway += QByteArray(999, 'n') + "\n";
    struct Case
    {
        const char *what;
        QByteArray csv;
        InputTextStream::Cut cut;
    };
    for (const Case &c : {
             Case{"line too long", start + QByteArray(InputTextStream::kMaximumLineLength + 1, 'x') + after,
                  InputTextStream::Cut::LineTooLong},
             Case{"field too long", start + runaway + "\"" + after, InputTextStream::Cut::FieldTooLong},
             Case{"quote never closed", start + "Cut,,Yes,1,,,,,,,\"notes\r\nmore" + after,
                  InputTextStream::Cut::QuoteNotClosed},
         }) {
        SCOPED_TRACE(c.what);
        const CsvImportSummary result = import(c.csv);
        EXPECT_EQ(result.cut, c.cut);
        EXPECT_EQ(result.cutLine, 4);
        EXPECT_EQ(rows("SELECT title FROM artwork"), QStringLiteral("Before"));
    }
    // The longest line the reader takes is read whole.
    const QByteArray longest =
        "Long,,Yes,1,,,,,,," + QByteArray(InputTextStream::kMaximumLineLength - 18, 'n');
    const CsvImportSummary result = import(start + longest + after);
    EXPECT_EQ(result.cut, InputTextStream::Cut::None);
    EXPECT_EQ(rows("SELECT title FROM artwork ORDER BY pk"), QStringLiteral("Before\nLong\nAfter"));
    EXPECT_EQ(rows("SELECT length(notes) FROM artwork WHERE title = 'Long'"),
              QString::number(InputTextStream::kMaximumLineLength - 18));
}

TEST_F(CsvImport, FailuresComeBackAsTextsAndLeaveNoDatabase)
{
    const QString missingCsv = m_folder.filePath(QStringLiteral("missing.csv"));
    const Result<CsvImportSummary> missing = CsvImportParser(missingCsv, databasePath()).parse();
    EXPECT_FALSE(missing);
    EXPECT_TRUE(missing.message().contains(missingCsv));
    EXPECT_FALSE(QFileInfo::exists(databasePath()));

    const QString csv = test::writeBytes(m_folder, QStringLiteral("fine.csv"), "Artworks\n");
    const Result<CsvImportSummary> unwritable =
        CsvImportParser(csv, m_folder.filePath(QStringLiteral("no/such/folder/import.db"))).parse();
    EXPECT_FALSE(unwritable);
    EXPECT_FALSE(unwritable.message().isEmpty());
}
