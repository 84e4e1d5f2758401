#include "interchange/csv/CsvExport.h"

#include "ExportFixture.h"
#include "interchange/csv/CsvExportLines.h"
#include "interchange/csv/CsvImport.h"
#include "interchange/csv/CsvImportParser.h"
#include "store/DateFormatting.h"
#include "store/Sqlite.h"

#include <QScopeGuard>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sqlite3.h>
#include <sys/resource.h>

using namespace velumark;

namespace {

// Caps the size of every file this process writes, so that a write fails as on a full disk, until
// the returned guard goes.
auto limitFileSize(rlim_t bytes)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    return qScopeGuard([saved, handler] {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    });
}

const QByteArray kArtworks =
    "\nArtworks\nTitle,Artist,Sale/Loan,Price,Medium,Size,Created,Effort,Material Cost,Location,Notes\n";
const QByteArray kClients = "\nClients\nCompany,Commission,Pay Rate,Deadline,Response Time,Status,Contact,"
                            "Address,Web,Email,Phone,Fax,Notes,Client Type\n";
const QByteArray kSubmissions =
    "\nSubmissions\nArtwork,Client,Send Date,Response Due,Response?,Response Date,"
    "State,Income,Notes,Release Signed?,Submission Type,Exhibited?\n";

class CsvExportTest : public test::ExportFixture
{
protected:
    QString destination() const { return packageFolder.filePath(QStringLiteral("export.csv")); }

    OperationResult exportTo(TransferScope scope)
    {
        CsvExport operation(*document, destination(), scope);
        return runToEnd(operation);
    }

    static QByteArray comments()
    {
        return "\"// Exported from Velumark 1.3 on " + mediumDateTimeString(Clock::now()).toUtf8() +
               "\"\n\"// Refer to the Velumark CSV template file for formatting guidelines.\"\n";
    }
};

} // namespace

// Quotes, commas and line breaks in texts, records without their identifying text, a withdrawn
// submission, an invalid due date: the exact bytes, and the CSV import reads every field back.
TEST_F(CsvExportTest, WritesTheFileByteForByteAndTheImportReadsItBack)
{
    Artwork *moon = addArtwork(QStringLiteral("Moon \"over\" Water"), QStringLiteral("Ann Lee"));
    moon->setPrice(1234.5);
    moon->setMedium(QStringLiteral("Oil"));
    moon->setSize(QStringLiteral("40 x 50"));
    moon->setCreationDate(local(2013, 1, 5));
    moon->setEffort(1);
    moon->setEffortUnits(2);
    moon->setMaterialCost(12.3);
    moon->setLocation(QStringLiteral("Studio"));
    moon->setNotes(QStringLiteral("Dry, then\nvarnish"));
    Artwork *dunes = addArtwork(QStringLiteral("Dunes"), QStringLiteral("bob"));
    dunes->setSale_loan(false);
    dunes->setEffort(3);
    dunes->setEffortUnits(2);
    addArtwork(QStringLiteral("Zebra"))->setEffort(5);
    addArtwork(QString(), QStringLiteral("Nobody"));

    Client *north = addClient(QStringLiteral("Gallery \"North\""));
    north->setCommission(10);
    north->setPayRate(2.5);
    north->setDeadline(local(2024, 7, 1));
    north->setResponseTime(2);
    north->setResponseTimeUnits(2);
    north->setContact(QStringLiteral("Ann"));
    north->setAddress(QStringLiteral("1 Main St\nTown"));
    north->setWeb(QStringLiteral("https://north.example"));
    north->setEmail(QStringLiteral("ann@north.example"));
    north->setPhone(QStringLiteral("555"));
    north->setClientType(1);
    Client *harbour = addClient(QStringLiteral("Harbour Arts"));
    harbour->setStatus(false);
    harbour->setResponseTime(1);
    harbour->setResponseTimeUnits(1);
    harbour->setClientType(9);
    addClient(QString());

    addSubmission(moon, north, local(2024, 1, 10), [&](Submission &s) {
        s.setValidDueDate(true);
        s.setResponseDueDate(local(2024, 2, 10));
        s.setResponseReceived(1);
        s.setResponseDate(local(2024, 2, 1));
        s.setSubmissionState(2);
        s.setIncome(500);
        s.setNotes(QStringLiteral("Paid, \"thanks\""));
        s.setReleaseSigned(true);
        s.setSubmissionType(2);
    });
    addSubmission(dunes, harbour, local(2024, 3, 5), [&](Submission &s) {
        s.setResponseDueDate(local(2024, 4, 5)); // not valid: not written
        s.setResponseReceived(2);
        s.setResponseDate(local(2024, 3, 20));
        s.setSubmissionState(1);
        s.setExhibited(true);
    });
    // A submission whose artwork is gone is not written.
    ASSERT_TRUE(document->database()->exec(
        QStringLiteral("INSERT INTO submission (artwork_key, client_key, sent_date) VALUES (999, %1, 0)")
            .arg(north->primaryKey())));
    reopen(); // writes the edits
    // An edit the document has not written yet is part of the export.
    test::artworkTitled(*document, QStringLiteral("Zebra"))->setLocation(QStringLiteral("Attic"));
    std::vector<double> progress;
    CsvExport operation(*document, destination(), TransferScope::Complete);
    QObject::connect(&operation, &LongOperation::progress,
                     [&](double percent) { progress.push_back(percent); });
    ASSERT_EQ(runToEnd(operation), OperationResult::Done) << operation.message().toStdString();

    const QByteArray expected =
        comments() + kArtworks +
        "\"Dunes\",\"bob\",\"No\",\"0.00\",\"\",\"\",\"\",\"3 hours\",\"0.00\",\"\",\"\"\n"
        "\"Moon \"\"over\"\" Water\",\"Ann Lee\",\"Yes\",\"1234.50\",\"Oil\",\"40 x 50\",\"Jan 5, 2013\","
        "\"1 hour\",\"12.30\",\"Studio\",\"Dry, then\nvarnish\"\n"
        "\"Zebra\",\"\",\"Yes\",\"0.00\",\"\",\"\",\"\",\"5 \",\"0.00\",\"Attic\",\"\"\n" +
        kClients +
        "\"Gallery \"\"North\"\"\",\"10.00\",\"2.50\",\"Jul 1, 2024\",\"2 weeks\",\"Open\",\"Ann\",\"1 Main "
        "St\nTown\",\"https://north.example\",\"ann@north.example\",\"555\",\"\",\"\",\"Gallery\"\n"
        "\"Harbour Arts\",\"0.00\",\"0.00\",\"\",\"1 "
        "day\",\"Closed\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\n" +
        kSubmissions +
        "\"Dunes\",\"Harbour Arts\",\"Mar 5, 2024\",\"\",\"Withdrawn\",\"Mar 20, "
        "2024\",\"\",\"0.00\",\"\",\"No\","
        "\"Unspecified\",\"Yes\"\n"
        "\"Moon \"\"over\"\" Water\",\"Gallery \"\"North\"\"\",\"Jan 10, 2024\",\"Feb 10, 2024\",\"Yes\","
        "\"Feb 1, 2024\",\"Published\",\"500.00\",\"Paid, \"\"thanks\"\"\",\"Yes\",\"One Artist "
        "Show\",\"No\"\n";
    EXPECT_EQ(test::readFile(destination()).toStdString(), expected.toStdString());

    // Skipped records count too: 4 artworks, 3 clients and 3 submissions make ten steps of 10%.
    ASSERT_EQ(progress.size(), 10u);
    EXPECT_DOUBLE_EQ(progress.front(), 10.0);
    EXPECT_DOUBLE_EQ(progress.back(), 100.0);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

    const QString imported = packageFolder.filePath(QStringLiteral("imported.db"));
    const Result<CsvImportSummary> result = CsvImportParser(destination(), imported).parse();
    ASSERT_TRUE(succeeded(result));
    EXPECT_EQ(result->artworkCount, 3);
    EXPECT_EQ(result->clientCount, 2);
    EXPECT_EQ(result->submissionCount, 2);

    // Every column of the records written, as stored in the document and in the import's database.
    // A withdrawal comes back as one, without its state; a due date that is not valid and a client
    // type outside the list are not written.
    const char *const queries[] = {
        "SELECT title, artist, sale_loan, price, medium, size, created, effort, effort_units, material_cost, "
        "location, notes FROM artwork WHERE title <> '' ORDER BY title",
        "SELECT company, commission, payrate, deadline, response_time, response_time_units, status, contact, "
        "address, web, email, phone, fax, notes, CASE WHEN client_type BETWEEN 0 AND 7 THEN client_type ELSE "
        "0 END FROM client WHERE company <> '' ORDER BY company",
        "SELECT a.title, c.company, s.sent_date, s.valid_due_date, CASE WHEN s.valid_due_date THEN "
        "s.response_due_date ELSE 0 END, s.response, s.response_date, CASE s.response WHEN 1 THEN "
        "s.state ELSE 0 END, s.income, s.notes, s.release_signed, s.submission_type, s.exhibited FROM "
        "submission s JOIN artwork a ON a.pk = s.artwork_key JOIN client c ON c.pk = s.client_key "
        "ORDER BY s.sent_date"};
    const auto rows = [](SqliteConnection &database, const char *sql) {
        QStringList list;
        auto statement = database.prepare(sql);
        while (statement && statement->step() == SqliteStatement::Step::Row) {
            QStringList columns;
            for (int i = 0; i < sqlite3_column_count(statement->handle()); ++i)
                columns << statement->columnText(i);
            list << columns.join(QLatin1Char('|'));
        }
        return list.join(QLatin1Char('\n')).toStdString();
    };
    auto database = SqliteConnection::open(imported, SqliteConnection::Mode::ReadOnly);
    ASSERT_TRUE(database);
    for (const char *sql : queries) {
        const std::string written = rows(*document->database(), sql);
        EXPECT_NE(written.find('\n'), std::string::npos) << sql;
        EXPECT_EQ(rows(*database, sql), written);
    }
}

// Long texts: a line longer than the import once read comes back whole with every record after it;
// a record longer than the import reads fails the export by name and keeps the old file.
TEST_F(CsvExportTest, EveryRecordWrittenReadsBackWholeOrTheExportFails)
{
    addArtwork(QStringLiteral("Long Note"))->setNotes(QString(10500, QChar(0x20AC)));
    for (int i = 0; i < 3; ++i)
        addArtwork(QStringLiteral("After %1").arg(i));
    addClient(QStringLiteral("North"));
    ASSERT_EQ(exportTo(TransferScope::Complete), OperationResult::Done);
    const QString imported = packageFolder.filePath(QStringLiteral("imported.db"));
    const Result<CsvImportSummary> result = CsvImportParser(destination(), imported).parse();
    ASSERT_TRUE(succeeded(result));
    EXPECT_EQ(result->cut, InputTextStream::Cut::None);
    EXPECT_EQ(result->artworkCount, 4);
    EXPECT_EQ(result->clientCount, 1);

    const QByteArray previous = test::readFile(destination());
    Artwork *huge = addArtwork(QStringLiteral("Huge"));
    huge->setNotes(QString(CsvExportLines::kMaximumRecordLength, QLatin1Char('n')));
    CsvExport tooLong(*document, destination(), TransferScope::Complete);
    EXPECT_EQ(runToEnd(tooLong), OperationResult::Failed);
    EXPECT_TRUE(tooLong.message().contains(QStringLiteral("The artwork \"Huge\"")))
        << tooLong.message().toStdString();
    EXPECT_EQ(test::readFile(destination()), previous);

    // Just short enough: written, and read back whole.
    huge->setNotes(QString(CsvExportLines::kMaximumRecordLength - 100, QLatin1Char('n')));
    ASSERT_EQ(exportTo(TransferScope::Artworks), OperationResult::Done);
    const Result<CsvImportSummary> longest = CsvImportParser(destination(), imported).parse();
    ASSERT_TRUE(succeeded(longest));
    EXPECT_EQ(longest->cut, InputTextStream::Cut::None);
    EXPECT_EQ(longest->artworkCount, 5);
}

TEST_F(CsvExportTest, ScopesChooseTheSectionsAndEmptySectionsKeepTheirHeaders)
{
    ASSERT_EQ(exportTo(TransferScope::Complete), OperationResult::Done);
    EXPECT_EQ(test::readFile(destination()), comments() + kArtworks + kClients + kSubmissions);

    addSubmission(addArtwork(QStringLiteral("Dunes")), addClient(QStringLiteral("Gallery")),
                  local(2024, 1, 10), [](Submission &) {});
    const QByteArray artwork = "\"Dunes\",\"\",\"Yes\",\"0.00\",\"\",\"\",\"\",\"0 \",\"0.00\",\"\",\"\"\n";
    const QByteArray client = "\"Gallery\",\"0.00\",\"0.00\",\"\",\"0 "
                              "\",\"Open\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Unspecified\"\n";
    ASSERT_EQ(exportTo(TransferScope::ArtworksAndClients), OperationResult::Done);
    EXPECT_EQ(test::readFile(destination()), comments() + kArtworks + artwork + kClients + client);
    ASSERT_EQ(exportTo(TransferScope::Artworks), OperationResult::Done);
    EXPECT_EQ(test::readFile(destination()), comments() + kArtworks + artwork);
    ASSERT_EQ(exportTo(TransferScope::Clients), OperationResult::Done);
    EXPECT_EQ(test::readFile(destination()), comments() + kClients + client);
}

TEST_F(CsvExportTest, ImportProgressRisesThroughTheReadingAndTheMerge)
{
    for (int i = 0; i < 40; ++i)
        addArtwork(QStringLiteral("Artwork number %1 with a title long enough to span the chunks").arg(i));
    ASSERT_EQ(exportTo(TransferScope::Complete), OperationResult::Done);

    std::vector<double> progress;
    CsvImport operation(*document, destination(), TransferScope::Complete);
    QObject::connect(&operation, &LongOperation::progress,
                     [&](double percent) { progress.push_back(percent); });
    ASSERT_EQ(runToEnd(operation), OperationResult::Done) << operation.message().toStdString();
    EXPECT_EQ(document->artworks().size(), 80u);

    // The reading fills the first half step by step, the merge the second; never back, ending full.
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    ASSERT_FALSE(progress.empty());
    EXPECT_DOUBLE_EQ(progress.back(), 100.0);
    const auto count = [&](double from, double to) {
        return std::count_if(progress.begin(), progress.end(), [&](double p) { return p > from && p < to; });
    };
    EXPECT_GE(count(0, 50), 10);
    EXPECT_GE(count(50, 100), 10);
}

TEST_F(CsvExportTest, OneExportAtATime)
{
    CsvExport first(*document, destination(), TransferScope::Complete);
    QSignalSpy finished(&first, &LongOperation::finished);
    ASSERT_TRUE(succeeded(first.start()));
    CsvExport second(*document, packageFolder.filePath(QStringLiteral("second.csv")),
                     TransferScope::Complete);
    const Result<> refused = second.start();
    EXPECT_FALSE(refused) << "the document is busy";
    EXPECT_FALSE(refused.message().isEmpty());
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_EQ(first.result(), OperationResult::Done);
    EXPECT_EQ(runToEnd(second), OperationResult::Done) << "the document is free again";
}

TEST_F(CsvExportTest, WritesThatFailEndFailedAndLeaveNoFile)
{
    // A destination in a folder that does not exist, and one the finished file cannot replace.
    const QString nowhere = packageFolder.filePath(QStringLiteral("missing/export.csv"));
    CsvExport missingFolder(*document, nowhere, TransferScope::Complete);
    EXPECT_EQ(runToEnd(missingFolder), OperationResult::Failed);
    EXPECT_TRUE(missingFolder.message().contains(QStringLiteral("export.csv")))
        << missingFolder.message().toStdString();
    ASSERT_TRUE(packageFolder.mkdir(QStringLiteral("occupied.csv")));
    CsvExport directory(*document, packageFolder.filePath(QStringLiteral("occupied.csv")),
                        TransferScope::Complete);
    EXPECT_EQ(runToEnd(directory), OperationResult::Failed);

    // The disk fills up in the middle of the file; the old export survives.
    for (int i = 0; i < 60; ++i)
        addArtwork(QStringLiteral("Artwork number %1 with a fairly long title").arg(i));
    ASSERT_EQ(exportTo(TransferScope::Artworks), OperationResult::Done);
    const QByteArray previous = test::readFile(destination());
    ASSERT_GT(previous.size(), 4096);
    {
        const auto limit = limitFileSize(2048);
        CsvExport full(*document, destination(), TransferScope::Artworks);
        EXPECT_EQ(runToEnd(full), OperationResult::Failed);
        // The reason the system gave, not a guess.
        EXPECT_TRUE(full.message().contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
            << full.message().toStdString();
    }
    EXPECT_EQ(test::readFile(destination()), previous);
    EXPECT_TRUE(QFileInfo(packageFolder.filePath(QStringLiteral("occupied.csv"))).isDir());
    EXPECT_EQ(entries(packageFolder.path()), "Studio.vdb export.csv occupied.csv")
        << "no partial file is left";

    // When the document cannot save its edits, nothing starts and the document stays free.
    document->artworks().front()->setNotes(QString(20000, QLatin1Char('x')));
    {
        const auto limit = limitFileSize(1);
        CsvExport unsaved(*document, destination(), TransferScope::Artworks);
        const Result<> refused = unsaved.start();
        EXPECT_FALSE(refused);
        EXPECT_FALSE(refused.message().isEmpty());
    }
    EXPECT_FALSE(document->isOperationRunning());
    EXPECT_EQ(exportTo(TransferScope::Artworks), OperationResult::Done);
}

TEST_F(CsvExportTest, CancelKeepsTheOldFileAndLeavesNoPartialOne)
{
    for (int i = 0; i < 5; ++i)
        addArtwork(QStringLiteral("Artwork %1").arg(i));
    ASSERT_TRUE(test::writeFile(destination(), "old export\n"));
    CsvExport operation(*document, destination(), TransferScope::Complete);
    cancelFrom(operation, 0); // after the first record
    EXPECT_EQ(runToEnd(operation), OperationResult::Cancelled);
    EXPECT_EQ(test::readFile(destination()), QByteArray("old export\n"));
    EXPECT_EQ(entries(packageFolder.path()), "Studio.vdb export.csv");
    EXPECT_FALSE(document->isOperationRunning());
}
