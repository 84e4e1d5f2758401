// An export reads its records inside read transactions that it renews: a long export writes every
// record with the names of its own links and leaves the file free for the document afterwards.
#include "ExportFixture.h"
#include "interchange/csv/CsvExport.h"

using namespace velumark;
using ExportReads = test::ExportFixture;

TEST_F(ExportReads, ALongCsvExportNamesEveryLinkAndLeavesTheFileFree)
{
    Artwork *harbour = addArtwork(QStringLiteral("Harbour"));
    Artwork *dunes = addArtwork(QStringLiteral("Dunes"));
    Client *north = addClient(QStringLiteral("Gallery North"));
    Client *fair = addClient(QStringLiteral("Riverside Fair"));
    // More records than one read transaction covers.
    for (int i = 0; i < 1500; ++i)
        addSubmission(i % 3 ? harbour : dunes, i % 2 ? north : fair, local(2020, 1, 1).addDays(i % 700),
                      [](Submission &) {});
    const QString csv = packageFolder.filePath(QStringLiteral("all.csv"));
    CsvExport exporting(*document, csv, TransferScope::Complete);
    ASSERT_EQ(runToEnd(exporting), OperationResult::Done);

    // Submission rows by their artwork and client: i % 3 != 0 is Harbour (1000 of 1500), odd i is
    // Gallery North (750).
    QMap<QByteArray, int> rows;
    for (const QByteArray &line : test::readFile(csv).split('\n'))
        ++rows[line.left(line.indexOf(",\"", line.indexOf(",\"") + 1))];
    EXPECT_EQ(QList<int>({rows["\"Harbour\",\"Gallery North\""], rows["\"Harbour\",\"Riverside Fair\""],
                          rows["\"Dunes\",\"Gallery North\""], rows["\"Dunes\",\"Riverside Fair\""]}),
              QList<int>({500, 500, 250, 250}));

    // No read lock is left behind: the document writes at once.
    harbour->setNotes(QStringLiteral("after the export"));
    EXPECT_TRUE(succeeded(document->saveChanges()));
}
