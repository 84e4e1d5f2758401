#include "interchange/csv/CsvTemplateFile.h"

#include "interchange/csv/CsvImportParser.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velumark;

namespace {

Result<CsvImportSummary> parse(const QTemporaryDir &folder, const QString &csv)
{
    return CsvImportParser(csv, folder.filePath(QStringLiteral("parsed.db"))).parse();
}

} // namespace

TEST(CsvTemplateFile, IsReadBackAsNoRecordsAndItsColumnsTakeARecordOfEachSection)
{
    const QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("template.csv"));
    ASSERT_TRUE(writeCsvTemplate(csv).ok());

    const Result<CsvImportSummary> empty = parse(folder, csv);
    ASSERT_TRUE(empty.ok()) << empty.message().toStdString();
    EXPECT_FALSE(empty->storedAnything());
    EXPECT_EQ(empty->cut, InputTextStream::Cut::None);

    // Filled in under each column line, as a user would, every section's record is taken.
    QList<QByteArray> lines = test::readFile(csv).split('\n');
    const std::pair<QByteArray, QByteArray> rows[] = {
        {"Artworks", "\"Dawn\",\"Ann Lee\",\"Yes\",\"10.00\",\"Oil\",\"\",\"\",\"\",\"\",\"\",\"\""},
        {"Clients", "\"Gallery North\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\""},
        {"Submissions",
         "\"Dawn\",\"Gallery North\",\"Jan 10, 2013\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\""},
    };
    for (const auto &[title, row] : rows) {
        const qsizetype at = lines.indexOf(title);
        ASSERT_GE(at, 0) << title.toStdString();
        lines.insert(at + 2, row);
    }
    QFile filled(folder.filePath(QStringLiteral("filled.csv")));
    ASSERT_TRUE(filled.open(QIODevice::WriteOnly));
    filled.write(lines.join('\n'));
    filled.close();
    const Result<CsvImportSummary> one = parse(folder, filled.fileName());
    ASSERT_TRUE(one.ok()) << one.message().toStdString();
    EXPECT_EQ(one->artworkCount, 1);
    EXPECT_EQ(one->clientCount, 1);
    EXPECT_EQ(one->submissionCount, 1);
}

TEST(CsvTemplateFile, UnwritableDestinationFailsWithTheReasonAndLeavesNoFile)
{
    const QTemporaryDir folder;
    const QString csv = QDir(folder.filePath(QStringLiteral("missing"))).filePath(QStringLiteral("t.csv"));
    const Result<> written = writeCsvTemplate(csv);
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.message().isEmpty());
    EXPECT_FALSE(QFile::exists(csv));
}
