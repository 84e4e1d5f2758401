// Who may open a catalogue, and what a catalogue that cannot be written allows.
#include "CliProcess.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using velumark::test::CliRun;
using velumark::test::runCli;
using velumark::test::strings;

namespace {

QByteArray checksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5)
                                          : QByteArray();
}

// A command that would change the catalogue is refused with the same message; one that reads it
// works (which commands write is the core's to know).
void expectOnlyReading(const QString &catalogue, const QString &elsewhere, const QString &message)
{
    const QString database = QDir(catalogue).filePath(QStringLiteral("velumark.db"));
    const QByteArray before = checksum(database);
    const QString file = QDir(elsewhere).filePath(QStringLiteral("out.vdbi"));
    for (const QStringList &reading : {strings({u"stats", catalogue}), strings({u"export", catalogue, file}),
                                       strings({u"report", catalogue, elsewhere})}) {
        const CliRun read = runCli(reading);
        EXPECT_EQ(read.exitCode, 0) << reading.join(u' ').toStdString() << "\n" << read.err.toStdString();
    }
    for (const QStringList &change :
         {strings({u"import", catalogue, file}), strings({u"import", catalogue, file, u"--restore"})}) {
        const CliRun refused = runCli(change);
        EXPECT_EQ(refused.exitCode, 1) << change.join(u' ').toStdString();
        EXPECT_EQ(refused.err, message + QLatin1Char('\n')) << change.join(u' ').toStdString();
    }
    EXPECT_EQ(checksum(database), before) << "not a byte of the catalogue changed";
}

} // namespace

TEST(CatalogueAccess, ProcessesStartingTogetherAreToldWhoHasTheCatalogueAndNoneShowsProcessZero)
{
    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({u"demo", catalogue}).exitCode, 0);
    // Processes that start at the same moment: one has the catalogue, the others are told who (a
    // lock left behind by a killed one is the core's to judge, tests/document).
    const QRegularExpression named(
        QStringLiteral("\\(process [1-9][0-9]*\\)|being opened by another program"));
    for (int round = 0; round < 8; ++round) {
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 4; ++i) {
            starts.push_back(std::make_unique<QProcess>());
            starts.back()->start(QStringLiteral(VELUMARK_CLI), strings({u"list", u"submissions", catalogue}));
        }
        for (const auto &process : starts) {
            ASSERT_TRUE(process->waitForFinished(30000));
            const QString err = QString::fromUtf8(process->readAllStandardError());
            if (process->exitCode() == 0)
                continue;
            EXPECT_TRUE(err.contains(named)) << err.toStdString();
            EXPECT_FALSE(err.contains(QStringLiteral("process 0"))) << err.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(catalogue).filePath(QStringLiteral(".velumark.lock"))));
}

TEST(CatalogueAccess, AWriteProtectedCatalogueIsReadAndRefusesEveryChangeWithOneMessage)
{
    QTemporaryDir folder;
    const QString catalogue = folder.filePath(QStringLiteral("Sample.vdb"));
    ASSERT_EQ(runCli({u"demo", catalogue}).exitCode, 0);
    const QString database = QDir(catalogue).filePath(QStringLiteral("velumark.db"));
    ASSERT_TRUE(QFile::setPermissions(database, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    expectOnlyReading(catalogue, folder.path(),
                      QStringLiteral("The catalogue %1 is open read-only because its database file is "
                                     "write-protected; nothing in it can be changed.")
                          .arg(catalogue));
    EXPECT_EQ(QFileInfo(database).permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
              0)
        << "the file is still write-protected";
}
