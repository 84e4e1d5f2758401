// velumark-cli add-photos, run as a process as a user would.
#include "CliProcess.h"
#include "document/VelumarkDatabase.h"
#include "store/Image.h"
#include "store/PhotoRendition.h"
#include "store/Sqlite.h"
#include "support/ScratchDisk.h"
#include "support/Succeeded.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using velumark::SqliteConnection;
using velumark::SqliteStatement;
using velumark::test::runCli;
using velumark::test::strings;

namespace {

std::vector<std::vector<qint64>> rows(const QString &package, const char *sql, int columns)
{
    std::vector<std::vector<qint64>> result;
    auto db = SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                     SqliteConnection::Mode::ReadOnly);
    auto statement = db ? db->prepare(sql) : nullptr;
    while (statement && statement->step() == SqliteStatement::Step::Row) {
        std::vector<qint64> row;
        for (int column = 0; column < columns; ++column)
            row.push_back(statement->columnInt64(column));
        result.push_back(row);
    }
    return result;
}

class AddPhotos : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(runCli(strings({u"new", package})).exitCode, 0); }

    QString picture(const QString &name, const QByteArray &data)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(velumark::test::writeFile(path, data));
        return path;
    }

    QTemporaryDir folder;
    const QString package = folder.filePath(QStringLiteral("Studio.vdb"));
};

TEST_F(AddPhotos, AddsThePicturesAfterThePhotosTheArtworkHasAndNamesTheFilesLeftOut)
{
    auto db = SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                     SqliteConnection::Mode::ReadWrite);
    ASSERT_TRUE(db &&
                db->exec("INSERT INTO artwork (title, photo1_key, photo2_key) VALUES ('Dune', -1, -1);"
                         "INSERT INTO artwork (title, photo1_key, photo2_key) VALUES ('Tide', -1, -1);"));
    db.reset();
    const QString first = picture(QStringLiteral("first.jpg"),
                                  velumark::test::jpegOf(velumark::test::photoLikePicture(900, 600, 1)));
    const QString second = picture(QStringLiteral("second.png"), {});
    QImage(500, 700, QImage::Format_RGB32).save(second, "PNG");
    const QString text = picture(QStringLiteral("read me.txt"), "hello");

    const auto once = runCli(strings({u"add-photos", package, u"Tide", first}));
    ASSERT_EQ(once.exitCode, 0) << once.err.toStdString();
    EXPECT_TRUE(once.out.contains(QStringLiteral("1 of 1 files added."))) << once.out.toStdString();
    const auto twice = runCli(strings({u"add-photos", package, u"Tide", text, second}));
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(twice.out.contains(QStringLiteral("Skipped %1: it is not a picture").arg(text)))
        << twice.out.toStdString();

    const auto images = rows(package, "SELECT pk, type, key, tag FROM image ORDER BY tag", 4);
    const auto artworks = rows(package, "SELECT pk, photo1_key, photo2_key FROM artwork ORDER BY pk", 3);
    ASSERT_EQ(images.size(), 2u);
    ASSERT_EQ(artworks.size(), 2u);
    const qint64 tide = artworks[1][0];
    EXPECT_EQ(images[0], (std::vector<qint64>{images[0][0], 0, tide, 0}));
    EXPECT_EQ(images[1], (std::vector<qint64>{images[1][0], 0, tide, 1}));
    EXPECT_EQ(artworks[1], (std::vector<qint64>{tide, images[0][0], images[1][0]}));
    EXPECT_EQ(artworks[0][1], -1);
    for (const auto &image : images)
        EXPECT_FALSE(QImage(QDir(package).filePath(QStringLiteral("vl-%1ct.jpg").arg(image[0]))).isNull());

    const auto unknown = runCli(strings({u"add-photos", package, u"Nothing", first}));
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("no artwork titled"))) << unknown.err.toStdString();
    EXPECT_EQ(runCli(strings({u"add-photos", package, u"Tide"})).exitCode, 2);
}

TEST_F(AddPhotos, CtrlCStopsTheImportAndKeepsThePhotosAddedSoFarWhole)
{
    QStringList arguments = strings({u"add-photos", package, u"Dune"});
    auto db = SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                     SqliteConnection::Mode::ReadWrite);
    ASSERT_TRUE(db && db->exec("INSERT INTO artwork (title) VALUES ('Dune');"));
    db.reset();
    const QByteArray camera = velumark::test::jpegOf(velumark::test::photoLikePicture(4000, 3000, 5));
    for (int i = 0; i < 40; ++i)
        arguments.append(picture(QStringLiteral("p%1.jpg").arg(i), camera));
    QProcess cli;
    cli.start(QStringLiteral(VELUMARK_CLI), arguments);
    ASSERT_TRUE(cli.waitForStarted());
    // Once the first photo is in, the import is well under way.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QDir(package).exists(QStringLiteral("vl-1ct.jpg")); }, 60000));
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(cli.readAllStandardError().contains("Cancelled."));
    const auto images = rows(package, "SELECT pk FROM image", 1);
    EXPECT_GE(images.size(), 1u);
    EXPECT_LT(images.size(), 40u);
    const QStringList files = QDir(package).entryList({QStringLiteral("vl-*"), QStringLiteral(".*.partial")},
                                                      QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), qsizetype(3 * images.size())) << files.join(u' ').toStdString();
    const auto artwork = rows(package, "SELECT photo1_key FROM artwork WHERE title='Dune'", 1);
    ASSERT_EQ(artwork.size(), 1u);
    EXPECT_EQ(artwork[0][0], images[0][0]);
}

TEST(AddPhotosOnAFullDisk, EndsTheImportNamingThePictureAndKeepsThePhotosBeforeItWhole)
{
    velumark::test::ScratchDisk disk(24 * 1024 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString package = disk.filePath(QStringLiteral("Full.vdb"));
    ASSERT_EQ(runCli(strings({u"new", package})).exitCode, 0);
    {
        auto db = SqliteConnection::open(QDir(package).filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadWrite);
        ASSERT_TRUE(
            db && db->exec("INSERT INTO artwork (title, photo1_key, photo2_key) VALUES ('Storm', -1, -1);"));
    }
    QTemporaryDir sources;
    QStringList arguments = strings({u"add-photos", package, u"Storm"});
    for (int i = 0; i < 8; ++i) {
        arguments.append(sources.filePath(QStringLiteral("shot%1.jpg").arg(i)));
        ASSERT_TRUE(velumark::test::writeFile(
            arguments.last(), velumark::test::jpegOf(velumark::test::photoLikePicture(1280, 960, i), 95)));
    }
    // Room for about four and a half photos: pictures are written two at once, so whichever
    // pair is in flight when the disk fills, at least two photos are whole before it.
    const qint64 photoBytes =
        velumark::PhotoRendition::encodeJpeg(velumark::test::photoLikePicture(1280, 960, 0)).size();
    ASSERT_TRUE(disk.fillUpTo(photoBytes * 9 / 2));

    const auto full = runCli(arguments);
    EXPECT_EQ(full.exitCode, 1);
    // The pictures' files or the database's row, whichever no longer fits.
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device")) ||
                full.err.contains(QStringLiteral("disk is full")))
        << full.err.toStdString();
    // The message names the picture that did not fit, not a file inside the package.
    EXPECT_TRUE(full.err.contains(sources.path())) << full.err.toStdString();
    EXPECT_FALSE(full.err.contains(package)) << full.err.toStdString();

    velumark::VelumarkDatabase document;
    ASSERT_TRUE(velumark::succeeded(document.readFromURL(package)));
    const auto &images = document.images();
    EXPECT_GE(images.size(), 1u);
    EXPECT_LT(images.size(), 8u);
    for (const auto &image : images) {
        for (const QString &file :
             {image->photoFilePath(), image->thumbnailFilePath(), image->croppedThumbnailFilePath()})
            EXPECT_FALSE(QImageReader(file).read().isNull()) << file.toStdString();
    }
    const QStringList files = QDir(package).entryList({QStringLiteral("vl-*"), QStringLiteral(".*.partial")},
                                                      QDir::Files | QDir::Hidden);
    EXPECT_EQ(files.size(), qsizetype(3 * images.size())) << files.join(u' ').toStdString();
    ASSERT_EQ(document.artworks().size(), 1u);
    EXPECT_EQ(document.artworks().front()->images().size(), images.size());
    ASSERT_TRUE(velumark::succeeded(document.close()));

    // With room again, the rest goes in after them.
    ASSERT_TRUE(QFile::remove(disk.filePath(QStringLiteral("filler"))));
    const auto again = runCli(arguments);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
}

} // namespace
