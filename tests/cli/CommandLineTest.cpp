#include "CliProcess.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velumark::test::runCli;

namespace {

qint64 countRows(const QString &package, const char *table)
{
    auto db = velumark::SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                               velumark::SqliteConnection::Mode::ReadOnly);
    auto statement =
        db ? db->prepare(QByteArray("SELECT count(*) FROM ").append(table).constData()) : nullptr;
    return statement && statement->step() == velumark::SqliteStatement::Step::Row ? statement->columnInt64(0)
                                                                                  : -1;
}

} // namespace

TEST(CommandLine, HelpAndUsageErrors)
{
    const auto help = runCli({u"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const QStringView command : {u"new", u"stats", u"list", u"demo", u"export", u"import", u"report",
                                      u"import-contacts", u"pull", u"push"}) {
        EXPECT_TRUE(help.out.contains(command)) << command.toString().toStdString();
        const auto commandHelp = runCli({command, u"--help"});
        EXPECT_EQ(commandHelp.exitCode, 0);
        EXPECT_TRUE(commandHelp.out.contains(QStringLiteral("velumark-cli ") + command.toString()))
            << commandHelp.out.toStdString();
    }
    for (const QStringList &usage :
         {QStringList{}, QStringList{QStringLiteral("frobnicate")}, QStringList{QStringLiteral("stats")},
          QStringLiteral("list paintings x.vdb").split(u' '),
          QStringLiteral("export a.vdb b.vdbi --scope everything").split(u' ')})
        EXPECT_EQ(runCli(usage).exitCode, 2) << usage.join(u' ').toStdString();
    EXPECT_TRUE(runCli({u"export", u"--help"}).out.contains(QStringLiteral("--replace")));
    EXPECT_TRUE(runCli({u"pull", u"--help"}).out.contains(QStringLiteral("[DEVICE]")));
    const auto missing = runCli({u"stats", u"/nonexistent/Nothing.vdb"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nonexistent/Nothing.vdb")));
}

TEST(CommandLine, DemoStatsListsAndTransfers)
{
    QTemporaryDir folder;
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    const auto demo = runCli({u"demo", sample});
    ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    EXPECT_EQ(countRows(sample, "artwork"), 12);
    EXPECT_EQ(countRows(sample, "image"), 8);
    EXPECT_EQ(QDir(sample).entryList({QStringLiteral("*.jpg")}, QDir::Files).size(), 24);

    const auto stats = runCli({u"stats", sample});
    ASSERT_EQ(stats.exitCode, 0) << stats.err.toStdString();
    EXPECT_TRUE(stats.out.contains(QRegularExpression(QStringLiteral("Past Due:\\s+1\\n"))) &&
                stats.out.contains(QRegularExpression(QStringLiteral("Submissions:\\s+16\\n"))))
        << stats.out.toStdString();

    const auto submissions = runCli({u"list", u"submissions", sample});
    ASSERT_EQ(submissions.exitCode, 0);
    EXPECT_EQ(submissions.out.count(QStringLiteral("\n! ")), 1) << "one overdue submission is marked";
    EXPECT_TRUE(submissions.out.contains(QStringLiteral("== 20")));
    const QString clients = u'\n' + runCli({u"list", u"clients", sample}).out;
    EXPECT_TRUE(clients.contains(QStringLiteral("\n! "))) << "the client near its deadline is marked\n"
                                                          << clients.toStdString();
    const auto waiting = runCli({u"list", u"submissions", sample, u"--search", u"waiting"});
    const QStringList rows = waiting.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .filter(QRegularExpression(QStringLiteral("^(  |! )")));
    EXPECT_EQ(rows.size(), 3) << waiting.out.toStdString();
    EXPECT_EQ(rows.filter(QRegularExpression(QStringLiteral("\\| Waiting$"))), rows);

    // One process after another opens the same catalogue.
    const QString file = folder.filePath(QStringLiteral("all.vdbi"));
    const auto exported = runCli({u"export", sample, file});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.contains(QStringLiteral("Database export complete!")));
    const QString other = folder.filePath(QStringLiteral("Other.vdb"));
    ASSERT_EQ(runCli({u"new", other}).exitCode, 0);
    const auto imported = runCli({u"import", other, file, u"--scope", u"artworks"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(QStringLiteral("Database import complete!")));
    EXPECT_EQ(countRows(other, "artwork"), 12);
    EXPECT_EQ(countRows(other, "submission"), 0);

    const auto refused = runCli({u"import", other, folder.filePath(QStringLiteral("missing.vdbi"))});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("An error occurred during the import!")))
        << refused.err.toStdString();
}

// The rules of what an export may replace belong to the core; the command asks for --replace and
// reports a refusal.
TEST(CommandLine, ExportToAPackageReplacesACatalogueOnlyWhenAsked)
{
    QTemporaryDir folder;
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({u"demo", sample}).exitCode, 0);
    const QString other = folder.filePath(QStringLiteral("Other.vdb"));
    ASSERT_EQ(runCli({u"new", other}).exitCode, 0);
    const QString files = folder.filePath(QStringLiteral("x"));
    ASSERT_TRUE(QDir().mkdir(files));
    // Not a catalogue, even when it is the working folder itself.
    for (const QString &destination : {files, QStringLiteral(".")}) {
        const auto refused =
            runCli({QStringLiteral("export"), sample, destination, QStringLiteral("--replace")});
        EXPECT_EQ(refused.exitCode, 1) << destination.toStdString();
        EXPECT_FALSE(refused.err.isEmpty());
    }
    EXPECT_TRUE(QDir(files).exists());
    EXPECT_TRUE(QDir::current().exists());

    const QString before = runCli({u"stats", other}).out;
    const auto refused = runCli({u"export", sample, other});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace"))) << refused.err.toStdString();
    EXPECT_EQ(runCli({u"stats", other}).out, before);
    const auto replaced = runCli({u"export", sample, other, u"--replace"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(countRows(other, "artwork"), 12);
    EXPECT_TRUE(QDir(folder.path())
                    .entryList({QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

// The file formats are the core's; here each command reaches it and says it is done.
TEST(CommandLine, CsvExportImportAndReport)
{
    QTemporaryDir folder;
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({u"demo", sample}).exitCode, 0);
    const QString csv = folder.filePath(QStringLiteral("sample.csv"));
    const auto exported = runCli({u"export", sample, csv});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();

    const QString copy = folder.filePath(QStringLiteral("Copy.vdb"));
    ASSERT_EQ(runCli({u"new", copy}).exitCode, 0);
    const auto imported = runCli({u"import", copy, csv});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(runCli({u"list", u"artworks", copy}).out, runCli({u"list", u"artworks", sample}).out);

    const QString reportFolder = folder.filePath(QStringLiteral("report"));
    ASSERT_TRUE(QDir().mkdir(reportFolder));
    const auto report = runCli({u"report", sample, reportFolder, u"--photos", u"medium"});
    ASSERT_EQ(report.exitCode, 0) << report.err.toStdString();
    EXPECT_TRUE(report.out.contains(QStringLiteral("Report export complete!")));
    EXPECT_TRUE(QFileInfo::exists(QDir(reportFolder).filePath(QStringLiteral("velumark_report.html"))));
}

TEST(CommandLine, ContactsBecomeClients)
{
    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("Contacts.vdb"));
    ASSERT_EQ(runCli({u"new", catalogue}).exitCode, 0);
    const QString cards = folder.filePath(QStringLiteral("cards.vcf"));
    QFile file(cards);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nORG:Gallery North\r\n"
               "TEL;TYPE=WORK,VOICE:+1 555 0100\r\nEND:VCARD\r\n"
               "begin:vcard\r\nversion:2.1\r\nN:Marsh;Bob\r\nEMAIL;HOME:bob@example.org\r\nend:vcard\r\n");
    file.close();
    const auto added = runCli({u"import-contacts", catalogue, cards});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains(QStringLiteral("Added client: Gallery North")) &&
                added.out.contains(QStringLiteral("Added client: Bob Marsh")))
        << added.out.toStdString();
    EXPECT_EQ(countRows(catalogue, "client"), 2);
    const QString empty = folder.filePath(QStringLiteral("empty.vcf"));
    QFile(empty).open(QIODevice::WriteOnly);
    EXPECT_EQ(runCli({u"import-contacts", catalogue, empty}).exitCode, 1);
}
