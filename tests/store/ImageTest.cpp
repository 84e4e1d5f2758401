#include "store/Image.h"

#include "store/DatabaseError.h"
#include "support/Catalogue.h"
#include "support/Files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace velumark;

namespace {

// Green with red and blue bands of `edge` pixels at the two ends of the longer side, so that a
// crop shows which part of the picture it came from.
QImage bandedPicture(int width, int height, int edge)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QPainter painter(&picture);
    const bool wide = width >= height;
    painter.fillRect(wide ? QRect(0, 0, edge, height) : QRect(0, 0, width, edge), Qt::red);
    painter.fillRect(wide ? QRect(width - edge, 0, edge, height) : QRect(0, height - edge, width, edge),
                     Qt::blue);
    return picture;
}

char dominant(const QImage &picture, int x, int y)
{
    const QRgb p = picture.pixel(x, y);
    return qRed(p) > std::max(qGreen(p), qBlue(p)) ? 'r' : qGreen(p) > qBlue(p) ? 'g' : 'b';
}

QByteArray jpeg(const QImage &picture)
{
    QByteArray data;
    QBuffer buffer(&data);
    picture.save(&buffer, "JPEG", 90);
    return data;
}

QSize fileSize(const QString &path)
{
    return QImageReader(path).size();
}

// A plain picture stored as a new image, with its files.
std::unique_ptr<Image> storedImage(test::TemporaryDatabase &db, int width = 640, int height = 480)
{
    auto image = std::make_unique<Image>();
    image->setPhoto(bandedPicture(width, height, 0));
    EXPECT_EQ(image->insertIntoDatabase(&db.connection(), db.folder(), true), 0);
    return image;
}

qint64 insertRowWithBlobs(test::TemporaryDatabase &db, const QByteArray &photo, const QByteArray &thumbnail)
{
    auto statement = db.connection().prepare(
        "INSERT INTO image (type, key, tag, caption, photo, thumbnail) VALUES(0, 7, 1, 'old', ?, ?)");
    statement->bindBlob(1, photo);
    statement->bindBlob(2, thumbnail);
    EXPECT_EQ(statement->step(), SqliteStatement::Step::Done);
    return db.connection().lastInsertRowId();
}

QByteArray blob(test::TemporaryDatabase &db, const char *column, qint64 key)
{
    const QByteArray sql = "SELECT " + QByteArray(column) + " FROM image WHERE pk=" + QByteArray::number(key);
    auto statement = db.connection().prepare(sql.constData());
    return statement->step() == SqliteStatement::Step::Row ? statement->columnBlob(0) : QByteArray();
}

} // namespace

TEST(Image, StoresPhotoThumbnailAndMiddleSquareAtTheRuleSizes)
{
    test::TemporaryDatabase db;
    // Picture, width of its end bands (just outside the square of the thumbnail), photo and
    // thumbnail sizes. The square is the middle of the thumbnail.
    const std::tuple<QSize, int, QSize, QSize> cases[] = {
        {{4000, 3000}, 500, {1280, 960}, {320, 240}},
        {{800, 1000}, 100, {800, 1000}, {256, 320}},
        {{3000, 2}, 0, {1280, 1}, {320, 1}},      // truncation alone would leave nothing
        {{200, 120}, 40, {200, 120}, {320, 192}}, // smaller than both: the thumbnail is enlarged
    };
    for (const auto &[picture, edge, photo, thumbnail] : cases) {
        SCOPED_TRACE(picture.width());
        Image image;
        image.setPhoto(bandedPicture(picture.width(), picture.height(), edge));
        EXPECT_TRUE(image.isDirty());
        ASSERT_EQ(image.insertIntoDatabase(&db.connection(), db.folder(), true), 0);
        EXPECT_FALSE(image.isDirty());
        EXPECT_EQ(fileSize(image.photoFilePath()), photo);
        EXPECT_EQ(fileSize(image.thumbnailFilePath()), thumbnail);
        const int side = std::min(thumbnail.width(), thumbnail.height());
        const QImage square(image.croppedThumbnailFilePath());
        ASSERT_EQ(square.size(), QSize(side, side));
        if (edge == 0)
            continue;
        // Red at the start of the thumbnail, but only green in its square.
        const bool wide = thumbnail.width() > thumbnail.height();
        auto at = [wide](const QImage &shown, int along) {
            return wide ? dominant(shown, along, 100) : dominant(shown, 100, along);
        };
        EXPECT_EQ(std::string() + at(QImage(image.thumbnailFilePath()), 2) + at(square, 2) +
                      at(square, side - 3),
                  "rgg");
    }
}

TEST(Image, PhotoFromFileKeepsTheRuleSizesWhenDecodedScaledAndUpright)
{
    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(test::writeFile(large, jpeg(bandedPicture(4001, 2999, 0))));
    Image image;
    ASSERT_TRUE(image.setPhotoFromFile(large));
    EXPECT_EQ(QList({image.photo().size(), image.thumbnail().size(), image.croppedThumbnail().size()}),
              QList({QSize(1280, 959), QSize(320, 239), QSize(239, 239)}));

    // A camera file stored on its side, with an orientation tag that turns it 90 degrees clockwise.
    QByteArray turned = jpeg(bandedPicture(4000, 2000, 500));
    const QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
    const int length = exif.size() + 2;
    turned.insert(2, QByteArray("\xff\xe1", 2) + char(length >> 8) + char(length & 0xff) + exif);
    const QString tagged = folder.filePath(QStringLiteral("tagged.jpg"));
    ASSERT_TRUE(test::writeFile(tagged, turned));
    ASSERT_TRUE(image.setPhotoFromFile(tagged));
    EXPECT_EQ(QList({image.photo().size(), image.thumbnail().size()}),
              QList({QSize(640, 1280), QSize(160, 320)}));
    EXPECT_EQ(dominant(image.photo(), 320, 10), 'r') << "the left band is on top once upright";

    const QString garbage = folder.filePath(QStringLiteral("garbage.jpg"));
    ASSERT_TRUE(test::writeFile(garbage, QByteArray("\xff\xd8\xff\xe0 not really a picture", 26)));
    EXPECT_FALSE(image.setPhotoFromFile(garbage));
    EXPECT_FALSE(image.setPhotoFromFile(folder.filePath(QStringLiteral("missing.jpg"))));
    EXPECT_EQ(image.photo().size(), QSize(640, 1280));
}

TEST(Image, RowsWithBlobsGainTheirFilesOnFirstLoadUnlessTheyDoNotDecode)
{
    test::TemporaryDatabase db;
    const QByteArray photo = jpeg(bandedPicture(800, 600, 0));
    const QByteArray thumbnail = jpeg(bandedPicture(320, 240, 0));
    const qint64 key = insertRowWithBlobs(db, photo, thumbnail);

    Image image(key, &db.connection(), db.folder(), true);
    EXPECT_EQ(std::tuple(image.linkedType(), image.linkedKey(), image.tagValue()), std::tuple(0, 7, 1));
    EXPECT_FALSE(QFileInfo::exists(image.thumbnailFilePath()));

    ASSERT_EQ(image.hydrate_thumbnail(), 0);
    EXPECT_EQ(test::readFile(image.thumbnailFilePath()), thumbnail);
    EXPECT_EQ(fileSize(image.croppedThumbnailFilePath()), QSize(240, 240));
    EXPECT_FALSE(QFileInfo::exists(image.photoFilePath())) << "the photo waits for the full load";

    ASSERT_EQ(image.hydrate(), 0);
    EXPECT_EQ(image.caption(), QStringLiteral("old"));
    EXPECT_EQ(test::readFile(image.photoFilePath()), photo);
    ASSERT_EQ(image.dehydrate(), 0);
    EXPECT_TRUE(image.photo().isNull());
    EXPECT_FALSE(image.isThumbnailHydrated());

    // From now on the files are what is read.
    db.exec(QStringLiteral("UPDATE image SET photo=NULL, thumbnail=NULL"));
    Image again(key, &db.connection(), db.folder(), true);
    ASSERT_EQ(again.hydrate(), 0);
    EXPECT_EQ(again.photo().size(), QSize(800, 600));
    EXPECT_EQ(again.croppedThumbnail().size(), QSize(240, 240));

    // Pictures that do not decode are missing, but read failures are failures.
    const qint64 bad = insertRowWithBlobs(db, QByteArray("not a jpeg"), QByteArray("\xff\xd8\xff", 3));
    Image broken(bad, &db.connection(), db.folder(), true);
    ASSERT_TRUE(test::writeFile(broken.photoFilePath(), QByteArray("\xff\xd8 broken")));
    ASSERT_EQ(broken.hydrate(), 0);
    EXPECT_TRUE(broken.photo().isNull() && broken.thumbnail().isNull() && broken.croppedThumbnail().isNull());
    EXPECT_TRUE(broken.dataForPhoto().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(broken.thumbnailFilePath()))
        << "a blob that does not decode is not written";
    const Result<bool> nothingWritten =
        broken.exportToPath(db.folder() + QStringLiteral("/out.jpg"), PictureSize::Large);
    ASSERT_TRUE(nothingWritten.ok());
    EXPECT_FALSE(nothingWritten.value());

    Image unreadable(bad, &db.connection(), db.folder(), false);
    db.exec(QStringLiteral("DROP TABLE image"));
    EXPECT_EQ(unreadable.hydrate_thumbnail(), 1);
    EXPECT_FALSE(unreadable.isThumbnailHydrated());
    unreadable.setAbortOnError(true);
    EXPECT_THROW(unreadable.hydrate_thumbnail(), DatabaseError);
}

TEST(Image, BlobsAreServedWhenTheirFilesCannotBeWrittenAndNothingHalfWrittenStays)
{
    test::TemporaryDatabase db;
    const qint64 key =
        insertRowWithBlobs(db, jpeg(bandedPicture(800, 600, 0)), jpeg(bandedPicture(320, 240, 0)));
    Image image(key, &db.connection(), db.folder(), true);
    // Folders in the places of the photo and the thumbnail: their writes fail for any user.
    for (const QString &name : {Image::photoFileName(key), Image::thumbnailFileName(key)})
        ASSERT_TRUE(QDir(db.folder()).mkdir(name));

    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg)
                warnings.append(text);
        });
    const int status = image.hydrate();
    qInstallMessageHandler(previous);

    ASSERT_EQ(status, 0);
    EXPECT_EQ(image.photo().size(), QSize(800, 600));
    EXPECT_EQ(image.thumbnail().size(), QSize(320, 240));
    EXPECT_EQ(image.croppedThumbnail().size(), QSize(240, 240));
    ASSERT_EQ(warnings.size(), 2) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(warnings[0].contains(Image::thumbnailFileName(key)));
    EXPECT_TRUE(warnings[1].contains(Image::photoFileName(key)));
    EXPECT_TRUE(QFileInfo(image.photoFilePath()).isDir() && QFileInfo(image.thumbnailFilePath()).isDir());
    EXPECT_EQ(fileSize(image.croppedThumbnailFilePath()), QSize(240, 240)) << "what can be written is";
    const QStringList pictures = QDir(db.folder()).entryList({QStringLiteral("vl-*")}, QDir::AllEntries);
    EXPECT_EQ(pictures, QStringList({Image::photoFileName(key), Image::croppedThumbnailFileName(key),
                                     Image::thumbnailFileName(key)}))
        << "no half-written file stays beside them";
}

TEST(Image, InsertionThatCannotWriteItsFilesLeavesNothing)
{
    test::TemporaryDatabase db;
    // A folder in the place of the next image's square thumbnail: photo and thumbnail are
    // written first, and must go again.
    ASSERT_TRUE(QDir(db.folder()).mkdir(Image::croppedThumbnailFileName(1)));
    Image image;
    image.setPhoto(bandedPicture(640, 480, 0));
    image.setAbortOnError(false);
    EXPECT_EQ(image.insertIntoDatabase(&db.connection(), db.folder(), true), 1);
    EXPECT_EQ(image.primaryKey(), -1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM image")), 0);
    for (const QString &name : {Image::photoFileName(1), Image::thumbnailFileName(1)})
        EXPECT_FALSE(QFileInfo::exists(QDir(db.folder()).filePath(name))) << name.toStdString();

    image.setAbortOnError(true);
    try {
        image.insertIntoDatabase(&db.connection(), db.folder(), true);
        FAIL() << "expected a DatabaseError";
    } catch (const DatabaseError &error) {
        EXPECT_TRUE(error.message().contains(Image::croppedThumbnailFileName(1)))
            << error.message().toStdString();
    }
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM image")), 0);

    if (::geteuid() == 0)
        return; // permissions do not stop the superuser
    QTemporaryDir readOnly;
    ASSERT_TRUE(QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner));
    image.setAbortOnError(false);
    EXPECT_EQ(image.insertIntoDatabase(&db.connection(), readOnly.path(), true), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM image")), 0);
    EXPECT_TRUE(QDir(readOnly.path()).isEmpty());
    QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Image, ExportsWriteThePictureOfTheSizeCode)
{
    test::TemporaryDatabase db;
    QTemporaryDir out;
    auto stored = storedImage(db, 4000, 3000);
    Image &image = *stored;
    ASSERT_EQ(image.dehydrate(), 0);

    const auto file = [&](int code) {
        return out.filePath(QStringLiteral("export-%1.jpg").arg(code));
    };
    // Written, and a file was there to write.
    const auto wrote = [](const Result<bool> &written) {
        return written.ok() && written.value();
    };
    ASSERT_TRUE(wrote(image.exportToPath(file(1), PictureSize::Small)));
    EXPECT_EQ(test::readFile(file(1)), test::readFile(image.thumbnailFilePath()));
    for (const auto &[size, pixels] : {std::pair(PictureSize::Medium, QSize(512, 384)),
                                       {PictureSize::Large, QSize(1024, 768)},
                                       {PictureSize::ExtraLarge, QSize(1280, 960)}}) {
        const int code = static_cast<int>(size);
        ASSERT_TRUE(wrote(image.exportToPath(file(code), size)));
        EXPECT_EQ(fileSize(file(code)), pixels) << code;
    }
    EXPECT_FALSE(pictureSizeFromCode(5)) << "only the four sizes of the report";
    EXPECT_FALSE(pictureSizeFromCode(0));
    ASSERT_TRUE(wrote(image.exportPhotoToPath(file(6), 2000)));
    EXPECT_EQ(fileSize(file(6)), QSize(1280, 960)) << "a photo is never enlarged";

    // A row of an older database: its thumbnail is loaded for the copy (and written as a file),
    // then released again.
    const qint64 old =
        insertRowWithBlobs(db, jpeg(bandedPicture(640, 480, 0)), jpeg(bandedPicture(320, 240, 0)));
    Image older(old, &db.connection(), db.folder(), true);
    ASSERT_TRUE(wrote(older.exportToPath(file(7), PictureSize::Small)));
    EXPECT_EQ(fileSize(file(7)), QSize(320, 240));
    EXPECT_FALSE(older.isThumbnailHydrated());
    ASSERT_TRUE(wrote(older.exportToPath(file(8), PictureSize::Medium)));
    EXPECT_EQ(fileSize(file(8)), QSize(512, 384));
    EXPECT_TRUE(QFileInfo::exists(older.photoFilePath()));
}

TEST(Image, PhotosGoIntoBlobsOnlyWhenBothFilesAreThereAndDeletionRemovesWhatIsThere)
{
    test::TemporaryDatabase db;
    auto image = storedImage(db);
    ASSERT_EQ(image->addPhotosToDatabase(), 0);
    EXPECT_EQ(blob(db, "photo", image->primaryKey()), test::readFile(image->photoFilePath()));
    EXPECT_EQ(blob(db, "thumbnail", image->primaryKey()), test::readFile(image->thumbnailFilePath()));

    auto partial = storedImage(db);
    ASSERT_TRUE(QFile::remove(partial->thumbnailFilePath()));
    EXPECT_EQ(partial->addPhotosToDatabase(), 1);
    EXPECT_TRUE(blob(db, "photo", partial->primaryKey()).isEmpty());

    ASSERT_EQ(partial->deleteFromDatabase(), 0);
    for (const QString &file : {partial->photoFilePath(), partial->croppedThumbnailFilePath()})
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM image")), 1);
}

TEST(Image, SavingALightRecordKeepsOrWritesTheCaption)
{
    test::TemporaryDatabase db;
    Image image;
    image.setPhoto(bandedPicture(64, 48, 0));
    image.setCaption(QStringLiteral("Sunset"));
    image.setLinkedKey(3);
    ASSERT_EQ(image.insertIntoDatabase(&db.connection(), db.folder(), true), 0);
    const QString row = QStringLiteral("SELECT caption || tag || key FROM image");

    Image light(image.primaryKey(), &db.connection(), db.folder(), true);
    light.setTagValue(2);
    ASSERT_EQ(light.save(), 0);
    EXPECT_EQ(db.text(row), QStringLiteral("Sunset23"));
    Image renamed(image.primaryKey(), &db.connection(), db.folder(), true);
    renamed.setCaption(QStringLiteral("Dawn"));
    ASSERT_EQ(renamed.dehydrate(), 0);
    EXPECT_EQ(db.text(row), QStringLiteral("Dawn23"));
    EXPECT_TRUE(renamed.caption().isNull());
}
