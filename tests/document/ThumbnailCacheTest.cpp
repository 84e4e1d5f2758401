// The thumbnails the lists draw: the centred square at the asked size, the most recent few kept,
// none left on the records, and none outliving its image or its picture.
#include "document/ThumbnailCache.h"

#include "DocumentFixture.h"
#include "store/Image.h"

#include <QFile>
#include <QPainter>

using namespace velumark;

namespace {

class ThumbnailCacheTest : public test::DocumentFixture
{
protected:
    // A photo of the artwork: `centre` in the middle square of a 2:1 picture, another colour at
    // the sides (which the square thumbnail must not show).
    Image *addPhoto(Artwork *artwork, const QColor &centre)
    {
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QPainter(&picture).fillRect(100, 0, 200, 200, centre);
        auto image = std::make_unique<Image>();
        image->setLinkedType(Image::kOwnerArtwork);
        image->setLinkedKey(artwork->primaryKey());
        image->setTagValue(static_cast<qint64>(artwork->images().size()) + 1);
        image->setPhoto(picture);
        Image *added = document->addImage(std::move(image));
        artwork->addImage(added, -1);
        return added;
    }
    // The images of the artworks in order, after a reopen (light records, pictures in files).
    std::vector<Image *> reopenedImages()
    {
        reopen();
        std::vector<Image *> images;
        for (const auto &artwork : document->artworks())
            images.push_back(artwork->images().front());
        return images;
    }
    static bool isMostly(const QImage &picture, const QColor &colour)
    {
        if (picture.isNull())
            return false;
        for (const QPoint corner : {QPoint(1, 1), QPoint(picture.width() - 2, picture.height() - 2)}) {
            const QColor seen = picture.pixelColor(corner);
            if (qAbs(seen.red() - colour.red()) > 40 || qAbs(seen.green() - colour.green()) > 40 ||
                qAbs(seen.blue() - colour.blue()) > 40)
                return false;
        }
        return true;
    }
};

TEST_F(ThumbnailCacheTest, KeepsTheMostRecentSquaresAndNothingOnTheRecords)
{
    addPhoto(addArtwork(QStringLiteral("A")), Qt::red);
    addPhoto(addArtwork(QStringLiteral("B")), Qt::blue);
    addPhoto(addArtwork(QStringLiteral("C")), Qt::yellow);
    const std::vector<Image *> images = reopenedImages();
    ThumbnailCache cache(*document->notifier(), 2);

    const QImage a = cache.squareThumbnail(*images[0], 50);
    EXPECT_EQ(a.size(), QSize(50, 50));
    EXPECT_TRUE(isMostly(a, Qt::red));
    EXPECT_TRUE(isMostly(cache.squareThumbnail(*images[1], 50), Qt::blue));
    cache.squareThumbnail(*images[0], 50);
    EXPECT_TRUE(isMostly(cache.squareThumbnail(*images[2], 50), Qt::yellow));
    // B was used least recently.
    EXPECT_EQ(cache.count(), 2);
    EXPECT_TRUE(cache.holds(images[0], 50));
    EXPECT_FALSE(cache.holds(images[1], 50));
    EXPECT_TRUE(cache.holds(images[2], 50));
    // Another size is another entry.
    EXPECT_EQ(cache.squareThumbnail(*images[2], 20).size(), QSize(20, 20));
    EXPECT_FALSE(cache.holds(images[0], 50));
    for (const Image *image : images)
        EXPECT_FALSE(image->isThumbnailHydrated());
}

TEST_F(ThumbnailCacheTest, ForgetsRemovedImagesChangedPicturesAndReloads)
{
    Artwork *artwork = addArtwork(QStringLiteral("A"));
    addPhoto(artwork, Qt::red);
    addPhoto(artwork, Qt::blue);
    reopen();
    ThumbnailCache &cache = document->thumbnailCache();
    Image *first = document->artworks().front()->images().at(0);
    Image *second = document->artworks().front()->images().at(1);

    EXPECT_TRUE(isMostly(cache.squareThumbnail(*first, 40), Qt::red));
    EXPECT_TRUE(isMostly(cache.squareThumbnail(*second, 40), Qt::blue));
    document->removeImage(first);
    EXPECT_EQ(cache.count(), 1);

    QImage yellow(300, 300, QImage::Format_RGB32);
    yellow.fill(Qt::yellow);
    second->setPhoto(yellow);
    EXPECT_TRUE(isMostly(cache.squareThumbnail(*second, 40), Qt::yellow));
    EXPECT_EQ(cache.count(), 1);

    ASSERT_TRUE(succeeded(document->initializeDatabase(document->dbFilename())));
    EXPECT_EQ(cache.count(), 0);
}

TEST_F(ThumbnailCacheTest, MakesAMissingSquareFileAgainFromTheThumbnail)
{
    addPhoto(addArtwork(QStringLiteral("A")), Qt::red);
    Image *image = reopenedImages().front();
    ASSERT_TRUE(QFile::remove(image->croppedThumbnailFilePath()));
    EXPECT_TRUE(isMostly(document->thumbnailCache().squareThumbnail(*image, 30), Qt::red));
    EXPECT_TRUE(QFile::exists(image->croppedThumbnailFilePath()));
    EXPECT_FALSE(image->isThumbnailHydrated());
}

} // namespace
