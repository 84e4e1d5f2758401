// Every command that writes, killed at several points (the tool ends itself there as a killed
// process would), then what is left is checked: the catalogue opens at once whatever lock the
// killed process left, passes SQLite's integrity check, every picture file of every image row is
// there and decodes, the result is the old state or the new one, and the next run of the command
// leaves nothing behind.
#include "CliProcess.h"
#include "store/Sqlite.h"
#include "support/TestPictures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <set>

using velumark::SqliteConnection;
using velumark::SqliteStatement;
using velumark::test::CliRun;
using velumark::test::strings;

namespace {

class KilledCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder.filePath(QStringLiteral("cache")));
        ASSERT_EQ(run(strings({u"demo", source, u"--artworks", u"4", u"--clients", u"3", u"--submissions",
                               u"4", u"--photos", u"4"}))
                      .exitCode,
                  0);
    }

    CliRun run(const QStringList &arguments, const QString &crashAt = {}) const
    {
        QProcessEnvironment extra = m_environment;
        if (!crashAt.isEmpty())
            extra.insert(QStringLiteral("VELUMARK_CRASH_AT"), crashAt);
        return velumark::test::runCli(arguments, extra);
    }

    // Runs the command so that it ends at the point, as if killed there.
    void kill(const QStringList &arguments, const QString &point) const
    {
        const CliRun killed = run(arguments, point);
        ASSERT_EQ(killed.exitCode, 86) << "did not reach " << point.toStdString() << "\n"
                                       << killed.err.toStdString();
    }

    void runToEnd(const QStringList &arguments) const
    {
        const CliRun done = run(arguments);
        ASSERT_EQ(done.exitCode, 0) << arguments.join(u' ').toStdString() << "\n" << done.err.toStdString();
    }

    // A fresh catalogue of three artworks with three photos.
    QString target(const QString &name) const
    {
        const QString path = folder.filePath(name + QStringLiteral(".vdb"));
        if (m_template.isEmpty()) {
            m_template = folder.filePath(QStringLiteral("Template.vdb"));
            runToEnd(strings({u"demo", m_template, u"--artworks", u"3", u"--submissions", u"2", u"--photos",
                              u"3", u"--seed", u"7"}));
        }
        EXPECT_TRUE(QDir().mkdir(path));
        for (const QString &entry : QDir(m_template).entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(QDir(m_template).filePath(entry), QDir(path).filePath(entry)));
        return path;
    }

    // The package opens at once (no lock left by the killed process blocks it); the number of its
    // artworks, after the checks of its files.
    qint64 openedCatalogue(const QString &package) const
    {
        const CliRun stats = run(strings({u"stats", package}));
        EXPECT_EQ(stats.exitCode, 0) << stats.err.toStdString();
        return checkedFiles(package);
    }

    // SQLite's integrity check passes and every picture file of every image row is there and
    // decodes; the number of artworks.
    static qint64 checkedFiles(const QString &package)
    {
        const QDir files(package);
        auto db = SqliteConnection::open(files.filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadOnly);
        if (!db) {
            ADD_FAILURE() << package.toStdString() << " has no database";
            return -1;
        }
        auto integrity = db->prepare("PRAGMA integrity_check");
        EXPECT_TRUE(integrity && integrity->step() == SqliteStatement::Step::Row &&
                    integrity->columnText(0) == QLatin1String("ok"))
            << package.toStdString();
        for (const qint64 key : imageKeys(*db)) {
            for (const QString &name :
                 {QStringLiteral("vl-%1.jpg"), QStringLiteral("vl-%1t.jpg"), QStringLiteral("vl-%1ct.jpg")}) {
                const QString picture = files.filePath(name.arg(key));
                EXPECT_FALSE(QImage(picture).isNull()) << picture.toStdString() << " is missing or broken";
            }
        }
        auto artworks = db->prepare("SELECT count(*) FROM artwork");
        return artworks && artworks->step() == SqliteStatement::Step::Row ? artworks->columnInt64(0) : -1;
    }

    static std::set<qint64> imageKeys(SqliteConnection &db)
    {
        std::set<qint64> keys;
        auto rows = db.prepare("SELECT pk FROM image WHERE type=0");
        while (rows && rows->step() == SqliteStatement::Step::Row)
            keys.insert(rows->columnInt64(0));
        return keys;
    }

    // Nothing of an operation is left: no working folder in the cache, no staging beside a
    // destination, nothing staged and no picture without its row in a package.
    void expectNoLeftovers(const QStringList &packages, const QStringList &destinations = {}) const
    {
        QDirIterator operations(folder.filePath(QStringLiteral("cache")), {QStringLiteral("operation-*")},
                                QDir::Dirs, QDirIterator::Subdirectories);
        EXPECT_FALSE(operations.hasNext()) << "left in the cache: " << operations.next().toStdString();
        const QStringList places = QStringList(destinations) << folder.path();
        for (const QString &place : places) {
            const QStringList staged = QDir(place).entryList({QStringLiteral(".*.partial*")},
                                                             QDir::AllEntries | QDir::Hidden | QDir::System);
            EXPECT_TRUE(staged.isEmpty())
                << "left in " << place.toStdString() << ": " << staged.join(u' ').toStdString();
        }
        static const QRegularExpression pictureName(QStringLiteral("^vl-(\\d+)(t|ct)?\\.jpg$"));
        for (const QString &package : packages) {
            const QDir files(package);
            EXPECT_FALSE(files.exists(QStringLiteral(".velumark.db.importing"))) << package.toStdString();
            auto db = SqliteConnection::open(files.filePath(QStringLiteral("velumark.db")),
                                             SqliteConnection::Mode::ReadOnly);
            ASSERT_TRUE(db);
            const std::set<qint64> keys = imageKeys(*db);
            for (const QString &name : files.entryList({QStringLiteral("vl-*.jpg")}, QDir::Files)) {
                const QRegularExpressionMatch match = pictureName.match(name);
                EXPECT_TRUE(match.hasMatch() && keys.count(match.captured(1).toLongLong()))
                    << name.toStdString() << " has no row in " << package.toStdString();
            }
        }
    }

    static QByteArray checksum(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly)
                   ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5)
                   : QByteArray();
    }

    // The report's page and its photo folder, as checksums by name.
    static std::string reportFiles(const QString &folderPath)
    {
        QStringList files{QString::fromLatin1(
            checksum(QDir(folderPath).filePath(QStringLiteral("velumark_report.html"))).toHex())};
        const QDir photos(QDir(folderPath).filePath(QStringLiteral("velumark_report_photos")));
        for (const QString &name : photos.entryList(QDir::Files, QDir::Name))
            files << name + QLatin1Char(' ') + QString::fromLatin1(checksum(photos.filePath(name)).toHex());
        return files.join(QLatin1Char('\n')).toStdString();
    }

    // The title of the package's first artwork.
    static QString firstTitle(const QString &package)
    {
        auto db = SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadOnly);
        auto first = db ? db->prepare("SELECT title FROM artwork ORDER BY pk LIMIT 1") : nullptr;
        return first && first->step() == SqliteStatement::Step::Row ? first->columnText(0) : QString();
    }

    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("Source.vdb"));

private:
    QProcessEnvironment m_environment;
    mutable QString m_template;
};

} // namespace

// An import killed once its pictures are in the package and before the swap leaves the old
// catalogue; a restore killed after the swap, the new one. Both are the same staging whatever the
// source (package, CSV, device), so one command stands for them.
TEST_F(KilledCommands, ImportsAndRestoresLeaveTheOldCatalogueOrTheNew)
{
    const QString file = folder.filePath(QStringLiteral("backup.vdbi"));
    runToEnd(strings({u"export", source, file}));
    struct Case
    {
        const char *label;
        QStringList arguments; // the catalogue goes in place of the empty one
        QString point;
        qint64 killed; // artworks after the kill
        qint64 done;   // and after the next run
    };
    const Case cases[] = {
        {"import", strings({u"import", u"", file}), QStringLiteral("progress-20"), 3, 7},
        {"import", strings({u"import", u"", file}), QStringLiteral("import-pictures-moved"), 3, 7},
        {"restore", strings({u"import", u"", file, u"--restore"}), QStringLiteral("import-swapped"), 4, 4},
    };
    int number = 0;
    for (const Case &step : cases) {
        SCOPED_TRACE(std::string(step.label) + " killed at " + step.point.toStdString());
        const QString catalogue = target(QStringLiteral("T%1").arg(++number));
        QStringList arguments = step.arguments;
        arguments[1] = catalogue;
        kill(arguments, step.point);
        EXPECT_EQ(openedCatalogue(catalogue), step.killed);
        runToEnd(arguments);
        EXPECT_EQ(checkedFiles(catalogue), step.done);
        expectNoLeftovers({catalogue});
    }
}

// Every other command that writes, killed once: what is under the name it writes is the old state
// until the new one is whole, and the catalogue it reads opens at once.
TEST_F(KilledCommands, WritingCommandsLeaveTheOldStateOrTheNew)
{
    const QString file = folder.filePath(QStringLiteral("out.vdbi"));
    const QString csv = folder.filePath(QStringLiteral("out.csv"));
    const QString package = folder.filePath(QStringLiteral("Copy.vdb"));
    const QString sample = folder.filePath(QStringLiteral("Sample.vdb"));
    const QString reports = folder.filePath(QStringLiteral("report"));
    ASSERT_TRUE(QDir().mkdir(reports));
    const QString old = target(QStringLiteral("Old"));
    for (const QString &destination : {file, csv})
        runToEnd(strings({u"export", old, destination}));
    runToEnd(strings({u"report", old, reports, u"--photos", u"medium"}));
    const QString contacts = target(QStringLiteral("Contacts"));
    const QString cards = folder.filePath(QStringLiteral("cards.vcf"));
    QFile vcards(cards);
    ASSERT_TRUE(vcards.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 30; ++i)
        vcards.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Person " + QByteArray::number(i) +
                     "\r\nEND:VCARD\r\n");
    vcards.close();

    using State = std::function<std::string()>;
    const auto sumOf = [](const QString &path) -> State {
        return [path] {
            return checksum(path).toHex().toStdString();
        };
    };
    const auto whether = [](const QString &path) -> State {
        return [path] {
            return std::string(QFileInfo::exists(path) ? "there" : "absent");
        };
    };
    const State report = [reports] {
        return reportFiles(reports);
    };
    const State clients = [contacts] {
        auto db = SqliteConnection::open(QDir(contacts).filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadOnly);
        auto count = db ? db->prepare("SELECT count(*) FROM client") : nullptr;
        return count && count->step() == SqliteStatement::Step::Row ? std::to_string(count->columnInt64(0))
                                                                    : std::string();
    };
    struct Case
    {
        const char *label;
        QStringList arguments;
        QString point;
        State state; // of what the command writes
        QString opened;
        qint64 artworks; // of the catalogue that must open at once
    };
    const Case cases[] = {
        {"interchange export", strings({u"export", source, file}), QStringLiteral("progress-75"), sumOf(file),
         source, 4},
        {"CSV export", strings({u"export", source, csv}), QStringLiteral("export-file-complete"), sumOf(csv),
         source, 4},
        {"package export", strings({u"export", source, package}), QStringLiteral("progress-75"),
         whether(package), source, 4},
        {"report", strings({u"report", source, reports, u"--photos", u"large"}),
         QStringLiteral("report-staged"), report, source, 4},
        {"contacts", strings({u"import-contacts", contacts, cards}), QStringLiteral("contacts-added"),
         clients, contacts, 3},
        {"sample", strings({u"demo", sample, u"--artworks", u"70"}), QStringLiteral("progress-100"),
         whether(sample), source, 4},
    };
    for (const Case &step : cases) {
        SCOPED_TRACE(std::string(step.label) + " killed at " + step.point.toStdString());
        const std::string before = step.state();
        kill(step.arguments, step.point);
        EXPECT_EQ(openedCatalogue(step.opened), step.artworks);
        EXPECT_EQ(step.state(), before) << "nothing new appears under the name before it is whole";
        runToEnd(step.arguments);
        EXPECT_NE(step.state(), before);
        expectNoLeftovers({step.opened}, {reports});
    }
    EXPECT_EQ(openedCatalogue(package), 4);
    EXPECT_EQ(openedCatalogue(sample), 70);
    expectNoLeftovers({package, sample});
}

TEST_F(KilledCommands, AddedPhotosHaveTheirFilesWhereverTheCommandIsKilled)
{
    const QString catalogue = target(QStringLiteral("Photos"));
    QStringList command = strings({u"add-photos", catalogue, firstTitle(catalogue)});
    for (int i = 0; i < 6; ++i) {
        command.append(folder.filePath(QStringLiteral("photo%1.jpg").arg(i)));
        ASSERT_TRUE(QImage(1600, 1200, QImage::Format_RGB32).save(command.last(), "JPEG"));
    }
    for (const QString &point : {QStringLiteral("photo-staged"), QStringLiteral("photo-added")}) {
        SCOPED_TRACE("add-photos killed at " + point.toStdString());
        kill(command, point);
        EXPECT_EQ(openedCatalogue(catalogue), 3);
    }
    runToEnd(command);
    EXPECT_EQ(openedCatalogue(catalogue), 3);
    // Nothing staged in the package either.
    expectNoLeftovers({catalogue}, {catalogue});
}

TEST_F(KilledCommands, AnImportKilledOnceAPhotoIsInLeavesNoRowWithoutItsFiles)
{
    const QString catalogue = target(QStringLiteral("Shoot"));
    QStringList command = strings({u"add-photos", catalogue, firstTitle(catalogue)});
    const std::set<qint64> before = [&] {
        auto db = SqliteConnection::open(QDir(catalogue).filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadOnly);
        return imageKeys(*db);
    }();
    const QByteArray camera = velumark::test::jpegOf(velumark::test::photoLikePicture(4000, 3000, 9));
    for (int i = 0; i < 8; ++i) {
        command.append(folder.filePath(QStringLiteral("camera%1.jpg").arg(i)));
        ASSERT_TRUE(velumark::test::writeFile(command.last(), camera));
    }
    const auto photosInPackage = [&] {
        return QDir(catalogue).entryList({QStringLiteral("vl-*ct.jpg")}, QDir::Files).size();
    };
    QProcess cli;
    cli.start(QStringLiteral(VELUMARK_CLI), command);
    ASSERT_TRUE(cli.waitForStarted());
    for (int i = 0;
         i < 1200 && photosInPackage() <= qsizetype(before.size()) && cli.state() == QProcess::Running; ++i)
        QThread::msleep(50);
    ASSERT_GT(photosInPackage(), qsizetype(before.size())) << cli.readAllStandardError().toStdString();
    ASSERT_EQ(cli.state(), QProcess::Running) << "the import ended before it could be killed";
    ::kill(pid_t(cli.processId()), SIGKILL);
    ASSERT_TRUE(cli.waitForFinished(10000));

    // Rows (old and new) have their files, and the catalogue opens with nothing left behind.
    EXPECT_EQ(openedCatalogue(catalogue), 3);
    expectNoLeftovers({catalogue}, {catalogue});
    auto db = SqliteConnection::open(QDir(catalogue).filePath(QStringLiteral("velumark.db")),
                                     SqliteConnection::Mode::ReadOnly);
    const std::set<qint64> after = imageKeys(*db);
    EXPECT_TRUE(std::includes(after.begin(), after.end(), before.begin(), before.end()));
    EXPECT_LT(after.size(), before.size() + 8);
}
