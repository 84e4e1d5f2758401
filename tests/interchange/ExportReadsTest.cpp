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
    const QString csv = folder.filePath(QStringLiteral("all.csv"));
    CsvExport exporting(*document, csv, CsvExport::Everything);
    ASSERT_EQ(runToEnd(exporting), OperationResult::Done);

    const QList<QByteArray> lines = contents(csv).split('\n');
    int harbourNorth = 0, harbourFair = 0, dunesNorth = 0, dunesFair = 0;
    for (const QByteArray &line : lines) {
        harbourNorth += line.startsWith("\"Harbour\",\"Gallery North\",") ? 1 : 0;
        harbourFair += line.startsWith("\"Harbour\",\"Riverside Fair\",") ? 1 : 0;
        dunesNorth += line.startsWith("\"Dunes\",\"Gallery North\",") ? 1 : 0;
        dunesFair += line.startsWith("\"Dunes\",\"Riverside Fair\",") ? 1 : 0;
    }
    // i % 3 != 0 is Harbour (1000 of 1500), odd i is Gallery North (750).
    EXPECT_EQ(harbourNorth, 500);
    EXPECT_EQ(harbourFair, 500);
    EXPECT_EQ(dunesNorth, 250);
    EXPECT_EQ(dunesFair, 250);

    // No read lock is left behind: the document writes at once.
    harbour->setNotes(QStringLiteral("after the export"));
    QString error;
    EXPECT_TRUE(document->saveChanges(&error)) << error.toStdString();
}
