#include "interchange/PhotoImport.h"

#include "document/VelumarkDatabase.h"
#include "store/DatabaseError.h"
#include "store/PhotoRendition.h"
#include "store/Sqlite.h"
#include "support/ChildProcess.h"
#include "support/OperationRunner.h"
#include "support/SampleCatalogue.h"
#include "support/ScratchDisk.h"
#include "support/Succeeded.h"
#include "support/TestPictures.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace velumark;
using namespace velumark::test;

namespace {

QSize pictureSize(const QString &path)
{
    return QImageReader(path).size();
}

// Every image row of the package has its three files, and they decode; no staging file is left.
void expectWholePackage(VelumarkDatabase &document)
{
    const QDir package(document.packageFilename());
    for (const auto &image : document.images()) {
        for (const QString &file :
             {image->photoFilePath(), image->thumbnailFilePath(), image->croppedThumbnailFilePath()})
            EXPECT_FALSE(QImageReader(file).read().isNull()) << file.toStdString();
    }
    EXPECT_TRUE(package.entryList({QStringLiteral(".*.partial")}, QDir::Files | QDir::Hidden).isEmpty());
}

class PhotoImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sample.isValid());
        artwork = sample.addArtwork(QStringLiteral("Harbour at Dawn"));
    }

    QString picture(const QString &name, const QByteArray &data)
    {
        const QString path = sample.folderPath(name);
        EXPECT_TRUE(writeFile(path, data));
        return path;
    }

    SampleCatalogue sample;
    Artwork *artwork = nullptr;
};

TEST_F(PhotoImportTest, AddsThePicturesInTheirOrderAndNamesEveryFileItLeavesOut)
{
    // What an import killed before its end staged.
    const QString stale =
        QDir(sample.packagePath())
            .filePath(QStringLiteral(".vl-new.jpg.%1-1.0123456789abcdef0123456789abcdef.partial")
                          .arg(endedProcessId()));
    ASSERT_TRUE(writeFile(stale, "old"));
    QImage png = photoLikePicture(800, 1000, 2);
    QByteArray pngData;
    {
        QBuffer buffer(&pngData);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "PNG");
    }
    ASSERT_TRUE(QDir(sample.folderPath({})).mkdir(QStringLiteral("folder.jpg")));
    const QStringList files{
        picture(QStringLiteral("wide.jpg"), jpegOf(photoLikePicture(4000, 3000, 1))),
        picture(QStringLiteral("notes.txt"), "not a picture at all"),
        picture(QStringLiteral("tall.png"), pngData),
        picture(QStringLiteral("cut.jpg"), truncatedJpeg()),
        picture(QStringLiteral("empty.jpg"), {}),
        picture(QStringLiteral("bomb.jpg"), jpegClaimingSize(30000, 30000)),
        sample.folderPath(QStringLiteral("folder.jpg")),
        sample.folderPath(QStringLiteral("missing.jpg")),
        picture(QStringLiteral("small.jpg"), jpegOf(photoLikePicture(640, 480, 3))),
    };
    PhotoImport import(sample.document(), artwork->primaryKey(), files, 5);
    std::vector<Image *> added;
    QObject::connect(&import, &PhotoImport::imageAdded, [&](Image *image) { added.push_back(image); });
    const OperationRun run = runOperation(import);
    ASSERT_TRUE(run.started) << run.message.toStdString();
    EXPECT_EQ(run.result, OperationResult::Done) << run.message.toStdString();

    ASSERT_EQ(import.addedImages().size(), 3u);
    EXPECT_EQ(added, import.addedImages());
    const QSize expected[] = {{1280, 960}, {800, 1000}, {640, 480}};
    for (size_t i = 0; i < 3; ++i) {
        Image *image = import.addedImages()[i];
        EXPECT_EQ(pictureSize(image->photoFilePath()), expected[i]);
        EXPECT_EQ(image->linkedKey(), artwork->primaryKey());
        EXPECT_EQ(image->linkedType(), Image::kOwnerArtwork);
        EXPECT_EQ(image->tagValue(), qint64(5 + i));
    }
    EXPECT_EQ(pictureSize(import.addedImages()[0]->croppedThumbnailFilePath()), QSize(240, 240));
    const QStringList left = {QStringLiteral("notes.txt"),  QStringLiteral("cut.jpg"),
                              QStringLiteral("empty.jpg"),  QStringLiteral("bomb.jpg"),
                              QStringLiteral("folder.jpg"), QStringLiteral("missing.jpg")};
    ASSERT_EQ(import.skipped().size(), left.size()) << import.skipped().join(u'\n').toStdString();
    for (qsizetype i = 0; i < left.size(); ++i)
        EXPECT_TRUE(import.skipped().at(i).contains(left.at(i))) << import.skipped().at(i).toStdString();
    EXPECT_TRUE(run.message.startsWith(QStringLiteral("3 of 9 files added.\nSkipped ")))
        << run.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(stale));
    expectWholePackage(sample.document());

    // The rows are there for the next process, and the document takes edits again.
    EXPECT_FALSE(sample.document().isOperationRunning());
    sample.reopen();
    EXPECT_EQ(sample.count("image"), 3);
    expectWholePackage(sample.document());
}

TEST_F(PhotoImportTest, HoldsTheDocumentWhileItRunsAndKeepsWhatItAddedWhenCancelled)
{
    QStringList files;
    for (int i = 0; i < 12; ++i)
        files.append(picture(QStringLiteral("p%1.jpg").arg(i), jpegOf(photoLikePicture(2400, 1600, i))));
    PhotoImport import(sample.document(), artwork->primaryKey(), files, 1);
    bool refusedWhileRunning = false;
    QObject::connect(&import, &PhotoImport::imageAdded, [&] {
        try {
            sample.addArtwork(QStringLiteral("During"));
        } catch (const DatabaseError &) {
            refusedWhileRunning = true;
        }
    });
    const OperationRun run = runOperation(import, 30);
    EXPECT_EQ(run.result, OperationResult::Cancelled);
    EXPECT_TRUE(refusedWhileRunning);
    EXPECT_LT(import.addedImages().size(), size_t(files.size()));
    EXPECT_EQ(sample.count("image"), qint64(import.addedImages().size()));
    expectWholePackage(sample.document());
    EXPECT_NE(sample.addArtwork(QStringLiteral("After")), nullptr);
}

TEST_F(PhotoImportTest, ARowTheDatabaseRefusesEndsTheImportNamingItsPictureAndLeavesNoFileOfIt)
{
    const QStringList files{picture(QStringLiteral("first.jpg"), jpegOf(photoLikePicture(800, 600, 1))),
                            picture(QStringLiteral("second.jpg"), jpegOf(photoLikePicture(800, 600, 2))),
                            picture(QStringLiteral("third.jpg"), jpegOf(photoLikePicture(800, 600, 3)))};
    {
        // The database fills up after the first row.
        auto db = SqliteConnection::open(QDir(sample.packagePath()).filePath(QStringLiteral("velumark.db")),
                                         SqliteConnection::Mode::ReadWrite);
        ASSERT_TRUE(
            db && db->exec("CREATE TRIGGER full BEFORE INSERT ON image WHEN (SELECT count(*) FROM image) > 0 "
                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END;"));
    }
    PhotoImport import(sample.document(), artwork->primaryKey(), files, 1);
    const OperationRun run = runOperation(import);
    EXPECT_EQ(run.result, OperationResult::Failed);
    EXPECT_TRUE(run.message.startsWith(files[1] + QStringLiteral(": ")) &&
                run.message.contains(QStringLiteral("database or disk is full")))
        << run.message.toStdString();
    ASSERT_EQ(import.addedImages().size(), 1u);
    expectWholePackage(sample.document());
    EXPECT_EQ(QDir(sample.packagePath()).entryList({QStringLiteral("vl-*")}, QDir::Files).size(), 3);
}

TEST(PhotoImport, AFullDiskKeepsThePhotosWrittenBeforeItWholeAndLeavesNothingOfTheFailedOne)
{
    ScratchDisk disk(24 * 1024 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.reason().toStdString();
    const QString packagePath = disk.filePath(QStringLiteral("Full.vdb"));
    VelumarkDatabase document;
    ASSERT_TRUE(succeeded(document.readFromURL(packagePath)));
    auto artwork = std::make_unique<Artwork>();
    artwork->setTitle(QStringLiteral("Storm"));
    Artwork *stored = document.addArtwork(std::move(artwork));
    QTemporaryDir sources;
    QStringList files;
    for (int i = 0; i < 8; ++i) {
        files.append(sources.filePath(QStringLiteral("p%1.jpg").arg(i)));
        ASSERT_TRUE(writeFile(files.last(), jpegOf(photoLikePicture(1280, 960, i), 95)));
    }
    // Room for about two photos.
    const qint64 photoBytes = PhotoRendition::encodeJpeg(photoLikePicture(1280, 960, 0)).size();
    ASSERT_TRUE(disk.fillUpTo(photoBytes * 5 / 2));

    PhotoImport import(document, stored->primaryKey(), files, 1);
    const OperationRun run = runOperation(import);
    EXPECT_EQ(run.result, OperationResult::Failed);
    EXPECT_TRUE(run.message.contains(QStringLiteral("No space left"))) << run.message.toStdString();
    EXPECT_LT(import.addedImages().size(), size_t(files.size()));
    expectWholePackage(document);
    // No file of a key without a row.
    const QStringList pictures = QDir(packagePath).entryList({QStringLiteral("vl-*.jpg")}, QDir::Files);
    EXPECT_EQ(pictures.size(), qsizetype(3 * document.images().size())) << pictures.join(u' ').toStdString();

    // Once there is room again, the same files go in.
    ASSERT_TRUE(QFile::remove(disk.filePath(QStringLiteral("filler"))));
    PhotoImport again(document, stored->primaryKey(), files, 1);
    EXPECT_EQ(runOperation(again).result, OperationResult::Done);
    expectWholePackage(document);
    ASSERT_TRUE(succeeded(document.close()));
}

TEST(PhotoImport, RefusesToStartOnACatalogueHeldByAnotherOperationOrWithoutFiles)
{
    SampleCatalogue sample;
    Artwork *artwork = sample.addArtwork(QStringLiteral("Still Life"));
    PhotoImport none(sample.document(), artwork->primaryKey(), {}, 1);
    EXPECT_FALSE(runOperation(none).started);
    Result<OperationClaim> claim = sample.document().beginOperation();
    ASSERT_TRUE(claim.ok());
    PhotoImport held(sample.document(), artwork->primaryKey(), {sample.folderPath(QStringLiteral("a.jpg"))},
                     1);
    const OperationRun run = runOperation(held);
    EXPECT_FALSE(run.started);
    EXPECT_FALSE(run.message.isEmpty());
}

} // namespace
