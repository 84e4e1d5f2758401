#include "editing/ArtworkPhotos.h"

#include "editing/PhotoBrowser.h"
#include "interchange/OperationWatcher.h"
#include "support/SampleCatalogue.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace velumark::editing {
namespace {

class ArtworkPhotosTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sample.isValid());
        artwork = sample.addArtwork(QStringLiteral("Quarry"));
        sample.addPhoto(artwork, 400, 300);
        sample.addPhoto(artwork, 300, 400);
        sample.reopen();
        artwork = sample.document().artworks().front().get();
        before = pictureFiles();
    }

    QStringList pictureFiles() const { return test::pictureFiles(sample.packagePath()); }

    QStringList pictures(int count)
    {
        QStringList files;
        for (int i = 0; i < count; ++i) {
            files.append(sample.folderPath(QStringLiteral("new%1.jpg").arg(i)));
            EXPECT_TRUE(
                test::writeFile(files.last(), test::jpegOf(test::photoLikePicture(1600 + i, 1200, i))));
        }
        return files;
    }

    static void importInto(ArtworkPhotos &photos, const QStringList &files)
    {
        QSignalSpy finished(&photos, &ArtworkPhotos::importFinished);
        ASSERT_TRUE(photos.importFiles(files, nullptr).ok());
        EXPECT_TRUE(photos.isImporting());
        ASSERT_TRUE(finished.wait(60000));
        EXPECT_EQ(finished.first().at(0).value<OperationResult>(), OperationResult::Done);
    }

    std::vector<qint64> keys(const std::vector<Image *> &images) const
    {
        std::vector<qint64> result;
        for (const Image *image : images)
            result.push_back(image->primaryKey());
        return result;
    }

    test::SampleCatalogue sample;
    Artwork *artwork = nullptr;
    QStringList before;
};

TEST(ArtworkPhotosOrder, MovedPhotosKeepTheirOrderAtTheDestinationOfTheOldList)
{
    const auto moved = [](std::vector<int> indexes, int destination) {
        std::vector<int> list{0, 1, 2, 3, 4};
        ArtworkPhotos::reorder(list, std::move(indexes), destination);
        return list;
    };
    EXPECT_EQ(moved({0, 2}, 4), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(moved({2, 0}, 4), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(moved({3}, 0), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(moved({1}, 5), (std::vector<int>{0, 2, 3, 4, 1}));
    EXPECT_EQ(moved({3, 4}, 1), (std::vector<int>{0, 3, 4, 1, 2}));
    EXPECT_EQ(moved({1, 9}, 1), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(ArtworkPhotosTest, CancelRemovesTheImportedPhotosAndKeepsTheRemovedOnes)
{
    const std::vector<Image *> original = artwork->images();
    ArtworkPhotos photos(sample.document(), *artwork);
    importInto(photos, pictures(3));
    ASSERT_EQ(photos.count(), 5);
    EXPECT_EQ(photos.imagesToAdd().size(), 3u);
    photos.remove({original[0], photos.images()[3]});
    photos.move({0}, 3);
    EXPECT_EQ(sample.count("image"), 5);
    EXPECT_TRUE(photos.hasChanges());

    photos.rollback();
    EXPECT_FALSE(photos.hasChanges());
    EXPECT_EQ(photos.images(), original);
    EXPECT_EQ(artwork->images(), original);
    EXPECT_EQ(sample.count("image"), 2);
    EXPECT_EQ(pictureFiles(), before);
    sample.reopen();
    EXPECT_EQ(sample.document().artworks().front()->images().size(), 2u);
}

TEST_F(ArtworkPhotosTest, OkStoresTheOrderAndThePhotoKeysAndDeletesTheRemovedPhotos)
{
    ArtworkPhotos photos(sample.document(), *artwork);
    QSignalSpy inserted(&photos, &ArtworkPhotos::inserted);
    importInto(photos, pictures(2));
    EXPECT_EQ(inserted.size(), 2);
    Image *gone = photos.images()[0];
    const QString goneFile = gone->photoFilePath();
    photos.remove({gone});
    photos.moveToFront(photos.images()[2]);
    const std::vector<qint64> order = keys(photos.images());
    photos.commit();
    EXPECT_FALSE(photos.hasChanges());
    EXPECT_FALSE(QFileInfo::exists(goneFile));
    EXPECT_TRUE(photos.imagesToAdd().empty());
    EXPECT_TRUE(photos.imagesToDelete().empty());

    sample.reopen();
    Artwork *stored = sample.document().artworks().front().get();
    ASSERT_EQ(keys(stored->images()), order);
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(stored->images()[i]->tagValue(), qint64(i));
    EXPECT_EQ(stored->photoKey1(), order[0]);
    EXPECT_EQ(stored->photoKey2(), order[1]);
    EXPECT_EQ(sample.count("image"), 3);

    ArtworkPhotos emptied(sample.document(), *stored);
    emptied.remove(stored->images());
    emptied.commit();
    EXPECT_EQ(stored->photoKey1(), -1);
    EXPECT_EQ(stored->photoKey2(), -1);
    EXPECT_TRUE(pictureFiles().isEmpty());
}

TEST_F(ArtworkPhotosTest, PhotosOfANewArtworkBecomeItsOwnOnceItIsAddedOrGoOnCancel)
{
    Artwork unsaved;
    {
        ArtworkPhotos cancelled(sample.document(), unsaved);
        importInto(cancelled, pictures(2));
        cancelled.rollback();
        EXPECT_EQ(cancelled.count(), 0);
        EXPECT_EQ(pictureFiles(), before);
    }
    ArtworkPhotos photos(sample.document(), unsaved);
    importInto(photos, pictures(2));
    const std::vector<qint64> order = keys(photos.images());
    auto created = std::make_unique<Artwork>();
    created->setTitle(QStringLiteral("Kiln"));
    Artwork *added = sample.document().addArtwork(std::move(created));
    photos.commitTo(*added);

    sample.reopen();
    Artwork *stored = test::artworkTitled(sample.document(), QStringLiteral("Kiln"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(keys(stored->images()), order);
    EXPECT_EQ(stored->photoKey1(), order[0]);
    EXPECT_EQ(stored->photoKey2(), order[1]);
    EXPECT_EQ(sample.count("image"), 4);
}

TEST_F(ArtworkPhotosTest, NeighboursWrapAndASinglePhotoIsItsOwn)
{
    ArtworkPhotos photos(sample.document(), *artwork);
    Image *first = photos.images()[0];
    Image *second = photos.images()[1];
    EXPECT_EQ(photos.next(first), second);
    EXPECT_EQ(photos.next(second), first);
    EXPECT_EQ(photos.previous(first), second);
    EXPECT_EQ(photos.imageInSlot(1), second);
    EXPECT_EQ(photos.imageInSlot(2), nullptr);
    photos.remove({second});
    EXPECT_EQ(photos.next(first), first);
    EXPECT_EQ(photos.previous(first), first);
}

TEST_F(ArtworkPhotosTest, BrowsingKeepsAtMostTwentyLoadedAndStoresCaptionsOnTheWay)
{
    for (int i = 0; i < 23; ++i)
        sample.addPhoto(artwork, 64, 48);
    sample.reopen();
    artwork = sample.document().artworks().front().get();
    ASSERT_EQ(artwork->images().size(), 25u);
    const auto loaded = [&] {
        return std::count_if(sample.document().images().begin(), sample.document().images().end(),
                             [](const auto &image) { return image->isHydrated(); });
    };
    ArtworkPhotos photos(sample.document(), *artwork);
    PhotoBrowser browser(photos);
    int changes = 0;
    QObject::connect(&browser, &PhotoBrowser::currentChanged, [&changes] { ++changes; });
    browser.start(photos.images()[0]);
    for (int step = 0; step < 30; ++step) {
        browser.showNext(step == 0 ? QStringLiteral("Morning light") : browser.current()->caption());
        EXPECT_LE(loaded(), 20);
        EXPECT_LE(browser.loaded().size(), PhotoBrowser::kMaxLoaded);
        EXPECT_FALSE(browser.current()->photo().isNull());
    }
    EXPECT_EQ(changes, 31);
    EXPECT_EQ(browser.current(), photos.images()[5]);
    browser.showLast(browser.current()->caption());
    EXPECT_EQ(browser.current(), photos.images()[24]);
    browser.showFirst(browser.current()->caption());
    browser.close(QStringLiteral("Evening"));
    EXPECT_EQ(loaded(), 0);

    sample.reopen();
    const auto &images = sample.document().artworks().front()->images();
    images[0]->hydrate_caption();
    EXPECT_EQ(images[0]->caption(), QStringLiteral("Evening"));
    images[0]->hydrate_caption();
    images[1]->hydrate_caption();
    EXPECT_EQ(images[1]->caption(), QStringLiteral("Photo 2 of Quarry"));
}

} // namespace
} // namespace velumark::editing
