// A failure names the file and the real reason in plain words.
#include "CliProcess.h"
#include "support/ScratchDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velumark::test::CliRun;
using velumark::test::runCli;
using velumark::test::strings;

namespace {

// No text that hides the reason.
void expectPlainReason(const CliRun &run)
{
    for (const char *hiding : {"Unknown error", "not an error", "within a transaction"})
        EXPECT_FALSE(run.err.contains(QLatin1String(hiding))) << run.err.toStdString();
}

} // namespace

TEST(FailureMessages, TheFileToImportIsNamedWithWhyItCannotBeRead)
{
    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({u"new", catalogue}).exitCode, 0);
    const QString directory = folder.filePath(QStringLiteral("folder.vdbi"));
    const QString loop = folder.filePath(QStringLiteral("loop.vdbi"));
    ASSERT_TRUE(QDir().mkdir(directory));
    ASSERT_TRUE(QFile::link(loop, loop));
    for (const auto &[source, reason] :
         {std::pair{directory, "it is a folder, not a file"},
          std::pair{loop, "Too many levels of symbolic links"},
          std::pair{QStringLiteral("/dev/zero"),
                    "it is neither a catalogue package (a folder) nor an interchange"},
          std::pair{QStringLiteral("/dev/zero.csv"), "it does not exist"},
          std::pair{folder.filePath(QStringLiteral("missing.vdbi")), "it does not exist"}}) {
        const CliRun refused = runCli({u"import", catalogue, source});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains(source) && refused.err.contains(QLatin1String(reason)))
            << refused.err.toStdString();
    }
}

TEST(FailureMessages, AFullDiskIsNamedWithTheFileAndTheReason)
{
    velumark::test::ScratchDisk disk(160 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const auto fullDisk = [](const CliRun &run) {
        return run.err.contains(QStringLiteral("No space left on device")) ||
               run.err.contains(QStringLiteral("database or disk is full"));
    };
    // The sample's pictures, then its rows, do not fit; nothing is left under the name.
    const QString sample = disk.filePath(QStringLiteral("Sample.vdb"));
    for (const QStringList &demo : {strings({u"demo", sample}),
                                    strings({u"demo", sample, u"--photos", u"0", u"--artworks", u"3000"})}) {
        const CliRun failed = runCli(demo);
        EXPECT_EQ(failed.exitCode, 1);
        EXPECT_TRUE(fullDisk(failed) && failed.err.contains(sample)) << failed.err.toStdString();
        expectPlainReason(failed);
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList());
    }

    // A cache folder with room for the file to import, but not for all of its pictures.
    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("Source.vdb"));
    const QString file = folder.filePath(QStringLiteral("source.vdbi"));
    const QString catalogue = folder.filePath(QStringLiteral("Target.vdb"));
    ASSERT_EQ(runCli({u"demo", source, u"--photos", u"12"}).exitCode, 0);
    ASSERT_EQ(runCli({u"export", source, file}).exitCode, 0);
    ASSERT_EQ(runCli({u"new", catalogue}).exitCode, 0);
    velumark::test::ScratchDisk cache(QFileInfo(file).size() * 3 / 2 + 64 * 1024);
    ASSERT_TRUE(cache.isMounted()) << cache.reason().toStdString();
    QProcessEnvironment smallCache;
    smallCache.insert(QStringLiteral("XDG_CACHE_HOME"), cache.path());
    const CliRun imported = runCli({u"import", catalogue, file}, smallCache);
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(fullDisk(imported) && imported.err.contains(cache.path()) &&
                imported.err.contains(QStringLiteral("A picture cannot be imported")))
        << imported.err.toStdString();
    expectPlainReason(imported);
}
