#include "store/Leftovers.h"

#include "support/ChildProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using velumark::Leftovers;

namespace {

// The stamp of a process that has ended.
QString endedStamp()
{
    return QStringLiteral("%1-1").arg(velumark::test::endedProcessId());
}

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QString staging(const QString &name, const QString &stamp)
{
    return QStringLiteral(".%1.%2.0123456789abcdef0123456789abcdef.partial").arg(name, stamp);
}

} // namespace

TEST(Leftovers, StampsTellEndedProcessesFromRunningOnes)
{
    EXPECT_FALSE(Leftovers::hasEnded(Leftovers::processStamp()));
    EXPECT_TRUE(Leftovers::hasEnded(endedStamp()));
    // This process's id with another start time: the id was taken again by a new process.
    EXPECT_TRUE(Leftovers::hasEnded(QStringLiteral("%1-1").arg(QCoreApplication::applicationPid())));
    // Nothing of unknown origin is taken for an ended process.
    for (const QString &text :
         {QString(), QStringLiteral("12ab-5"), QStringLiteral("-1-5"), QStringLiteral("0-0"),
          QStringLiteral("99999999999999999999-1"), QStringLiteral("7")})
        EXPECT_FALSE(Leftovers::hasEnded(text)) << text.toStdString();
}

TEST(Leftovers, OnlyWhatEndedProcessesLeftIsRemoved)
{
    QTemporaryDir folder;
    const QDir here(folder.path());
    const QString ended = endedStamp();
    const QString running = Leftovers::processStamp();
    touch(here.filePath(staging(QStringLiteral("all.vdbi"), ended)));
    touch(here.filePath(staging(QStringLiteral("a.b.csv"), ended) + QStringLiteral(".old")));
    ASSERT_TRUE(here.mkpath(staging(QStringLiteral("Copy.vdb"), ended) + QStringLiteral("/inner")));
    touch(here.filePath(staging(QStringLiteral("all.vdbi"), running)));
    touch(here.filePath(QStringLiteral(".notes.partial")));
    touch(here.filePath(QStringLiteral("all.vdbi")));
    Leftovers::removeStaleStaging(here.path());
    EXPECT_EQ(here.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{staging(QStringLiteral("all.vdbi"), running), QStringLiteral(".notes.partial"),
                           QStringLiteral("all.vdbi")}));
    // A new staging name is one of ours, beside its target.
    const QString fresh = Leftovers::stagingPathFor(here.filePath(QStringLiteral("report.html")));
    EXPECT_EQ(QFileInfo(fresh).absolutePath(), here.absolutePath());
    touch(fresh);
    Leftovers::removeStaleStaging(here.path());
    EXPECT_TRUE(QFileInfo::exists(fresh));

    QTemporaryDir cache;
    const QDir operations(cache.path());
    ASSERT_TRUE(operations.mkpath(QStringLiteral("operation-%1-AbCdEf/temp_photos").arg(ended)));
    QTemporaryDir mine(Leftovers::folderTemplate(cache.path(), QStringLiteral("operation-")));
    ASSERT_TRUE(mine.isValid());
    ASSERT_TRUE(operations.mkdir(QStringLiteral("operation-XyZ123")));
    Leftovers::removeStaleFolders(cache.path(), QStringLiteral("operation-"));
    EXPECT_EQ(operations.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QFileInfo(mine.path()).fileName(), QStringLiteral("operation-XyZ123")}));
}
