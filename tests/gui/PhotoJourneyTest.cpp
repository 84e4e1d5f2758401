// Journeys through the photo grid and the photo viewer of an artwork: photos added through the
// chooser, by dropping, browsed and captioned in the viewer; the outcome read back from the
// package with the core once the catalogue is closed. OK and Cancel of the artwork sheet are the
// working list's commit and rollback.
#include "DragAndDrop.h"
#include "ScriptedInteraction.h"
#include "document/VelumarkDatabase.h"
#include "editing/ArtworkPhotos.h"
#include "editing/PhotoBrowser.h"
#include "gui/photos/ImportProgressWindow.h"
#include "gui/photos/PhotoGrid.h"
#include "gui/photos/PhotoListModel.h"
#include "gui/photos/PhotoViewer.h"
#include "gui/photos/VLImageView.h"
#include "store/PhotoRendition.h"
#include "support/SampleCatalogue.h"
#include "support/ScratchDisk.h"
#include "support/Succeeded.h"
#include "support/TestPictures.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

namespace velumark::test {
namespace {

class PhotoJourney : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(catalogue->isValid());
        package = catalogue->packagePath();
        Artwork *artwork = catalogue->addArtwork(QStringLiteral("Salt Marsh"));
        catalogue->addPhoto(artwork, 640, 480);
        catalogue->reopen();
    }

    // The artwork sheet with its grid, on the screen.
    void openSheet()
    {
        const QString title = QStringLiteral("Salt Marsh");
        Artwork *artwork = artworkTitled(title);
        ASSERT_TRUE(artwork);
        photos = std::make_unique<editing::ArtworkPhotos>(catalogue->document(), *artwork);
        sheet = std::make_unique<QWidget>();
        grid = new gui::PhotoGrid(*photos, sheet.get());
        grid->setTitleProvider([title] { return title; });
        sheet->resize(700, 500);
        grid->resize(700, 500);
        sheet->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        sheet->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.get()));
    }

    void closeSheet()
    {
        sheet.reset();
        photos.reset();
    }

    QStringList pictures(const QStringList &names)
    {
        QStringList files;
        for (const QString &name : names) {
            files.append(catalogue->folderPath(name));
            EXPECT_TRUE(writeFile(files.last(), jpegOf(photoLikePicture(1500, 1000, int(files.size())))));
        }
        return files;
    }

    QPushButton *button(const QString &text) const
    {
        for (QPushButton *candidate : grid->findChildren<QPushButton *>()) {
            if (candidate->text() == text)
                return candidate;
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }

    // The user picks the files in the chooser; the import runs behind its progress window.
    void addThroughChooser(const QStringList &files)
    {
        user.pathLists.push_back(files);
        QTest::mouseClick(button(QStringLiteral("Add Photos...")), Qt::LeftButton);
        EXPECT_TRUE(grid->isImporting());
        // The worker's photos arrive through the event loop: the progress window is up meanwhile.
        EXPECT_TRUE(qobject_cast<gui::ImportProgressWindow *>(QApplication::activeModalWidget()));
        QTRY_VERIFY_WITH_TIMEOUT(!grid->isImporting(), 60000);
    }

    QStringList pictureFiles() const { return test::pictureFiles(package); }

    QRect itemRect(int row) const
    {
        // The view lays its items out on a timer; a click needs them in place now.
        grid->view()->doItemsLayout();
        return grid->view()->visualRect(grid->view()->model()->index(row, 0));
    }

    void doubleClick(int row)
    {
        // A double click is the second click of a pair.
        QTest::mouseClick(grid->view()->viewport(), Qt::LeftButton, {}, itemRect(row).center());
        QTest::mouseDClick(grid->view()->viewport(), Qt::LeftButton, {}, itemRect(row).center());
    }

    // Closes the catalogue and opens it again, as the next start of the program would.
    VelumarkDatabase &reopened()
    {
        closeSheet();
        catalogue->reopen();
        return catalogue->document();
    }

    Artwork *artworkTitled(const QString &title) { return test::artworkTitled(catalogue->document(), title); }

    ScriptedInteraction user;
    std::unique_ptr<SampleCatalogue> catalogue = std::make_unique<SampleCatalogue>();
    QString package;
    std::unique_ptr<editing::ArtworkPhotos> photos;
    std::unique_ptr<QWidget> sheet;
    gui::PhotoGrid *grid = nullptr;
};

TEST_F(PhotoJourney, ADropOfTwoPicturesAndATextFileAddsThePicturesAndReportsTheText)
{
    openSheet();
    QStringList files = pictures({QStringLiteral("one.jpg"), QStringLiteral("two.jpg")});
    files.insert(1, catalogue->folderPath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(writeFile(files[1], "a shopping list"));
    QMimeData dropped;
    QList<QUrl> urls;
    for (const QString &file : files)
        urls.append(QUrl::fromLocalFile(file));
    dropped.setUrls(urls);
    QWidget *target = grid->view()->viewport();
    const QPoint below(target->width() / 2, target->height() - 10);
    EXPECT_EQ(dropOnto(target, below, dropped), Qt::CopyAction) << "a file dropped here is never moved away";
    QTRY_VERIFY_WITH_TIMEOUT(!grid->isImporting(), 60000);

    EXPECT_EQ(photos->count(), 3);
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_TRUE(user.alerts[0].text.startsWith(QStringLiteral("1 of 3 files")))
        << user.alerts[0].text.toStdString();
    EXPECT_TRUE(user.alerts[0].detail.contains(QStringLiteral("notes.txt")));

    // A drop with nothing to import tells only of itself, not of the drop before it.
    QMimeData linkOnly;
    linkOnly.setUrls({QUrl(QStringLiteral("https://example.org/picture.jpg"))});
    grid->importDropped(linkOnly);
    ASSERT_EQ(user.alerts.size(), 2u) << user.transcript().toStdString();
    EXPECT_TRUE(user.alerts[1].text.startsWith(QStringLiteral("1 of 1 files")))
        << user.alerts[1].text.toStdString();
    EXPECT_EQ(user.alerts[1].detail,
              QStringLiteral("https://example.org/picture.jpg: it is not a file on this computer"));
    photos->commit();
    EXPECT_EQ(reopened().images().size(), 3u);
}

TEST_F(PhotoJourney, PhotosDraggedWithinTheGridTakeTheirNewPlaces)
{
    for (int i = 0; i < 4; ++i)
        catalogue->addPhoto(artworkTitled(QStringLiteral("Salt Marsh")), 320 + i, 240);
    catalogue->reopen();
    openSheet();
    ASSERT_EQ(photos->count(), 5);
    const std::vector<Image *> before = photos->images();
    auto *model = grid->view()->model();
    std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(0, 0), model->index(2, 0)}));
    EXPECT_EQ(dragged->urls().at(1).toLocalFile(), before[2]->photoFilePath())
        << "the full-size file goes out";
    dropOnto(grid->view()->viewport(), itemRect(4).center(), *dragged);
    EXPECT_EQ(photos->images(),
              (std::vector<Image *>{before[1], before[3], before[0], before[2], before[4]}));
    EXPECT_EQ(model->rowCount(), 5);
}

TEST_F(PhotoJourney, CaptionsEditedInTheViewerAreStoredOnNavigationAndOnClose)
{
    catalogue->addPhoto(artworkTitled(QStringLiteral("Salt Marsh")), 480, 640);
    catalogue->reopen();
    openSheet();
    doubleClick(0);
    gui::PhotoViewer *viewer = grid->viewer();
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Salt Marsh"));
    // The sample photo has a caption: it shows, and a click on the photo hides it.
    EXPECT_EQ(viewer->captionState(), gui::PhotoViewer::CaptionState::Shown);
    QTest::mouseClick(viewer->imageView(), Qt::LeftButton);
    EXPECT_EQ(viewer->captionState(), gui::PhotoViewer::CaptionState::Hidden);
    QAction *captionButton = nullptr;
    for (QAction *action : viewer->findChild<QToolBar *>()->actions()) {
        if (action->text() == QStringLiteral("Caption"))
            captionButton = action;
    }
    ASSERT_TRUE(captionButton);
    const auto typeCaption = [&](const QString &text) {
        captionButton->trigger();
        EXPECT_EQ(viewer->captionState(), gui::PhotoViewer::CaptionState::Editing);
        viewer->captionView()->selectAll();
        QTest::keyClicks(viewer->captionView(), text);
    };
    typeCaption(QStringLiteral("Low tide, October"));
    // Moving on stores the caption typed and shows the next photo's own.
    QTest::keyClick(viewer, Qt::Key_Right);
    EXPECT_EQ(viewer->current(), photos->images()[1]);
    EXPECT_EQ(viewer->captionState(), gui::PhotoViewer::CaptionState::Shown);
    EXPECT_EQ(viewer->captionView()->toPlainText(), QStringLiteral("Photo 2 of Salt Marsh"));
    QTest::keyClick(viewer, Qt::Key_Home);
    EXPECT_EQ(viewer->current(), photos->images()[0]);
    QTest::keyClick(viewer, Qt::Key_Left);
    EXPECT_EQ(viewer->current(), photos->images()[1]) << "previous wraps before the first";
    typeCaption(QStringLiteral("Study, portrait format"));
    QSignalSpy captions(grid, &gui::PhotoGrid::captionsChanged);
    viewer->close();
    EXPECT_EQ(captions.size(), 1);
    EXPECT_EQ(grid->view()->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("Low tide, October"));

    reopened();
    const std::vector<Image *> stored = artworkTitled(QStringLiteral("Salt Marsh"))->images();
    ASSERT_EQ(stored.size(), 2u);
    stored[0]->hydrate_caption();
    stored[1]->hydrate_caption();
    EXPECT_EQ(stored[0]->caption(), QStringLiteral("Low tide, October"));
    EXPECT_EQ(stored[1]->caption(), QStringLiteral("Study, portrait format"));
}

TEST(PhotoJourneyOnAFullDisk, TheFailedPictureIsNamedAndTheSheetStillStoresThePhotosBeforeIt)
{
    ScratchDisk disk(24 * 1024 * 1024);
    if (!disk.isMounted())
        GTEST_SKIP() << disk.reason().toStdString();
    ScriptedInteraction user;
    const QString package = disk.filePath(QStringLiteral("Full.vdb"));
    auto document = std::make_unique<VelumarkDatabase>();
    ASSERT_TRUE(succeeded(document->readFromURL(package)));
    auto storm = std::make_unique<Artwork>();
    storm->setTitle(QStringLiteral("Storm"));
    Artwork *artwork = document->addArtwork(std::move(storm));
    QTemporaryDir sources;
    QStringList files;
    for (int i = 0; i < 8; ++i) {
        files.append(sources.filePath(QStringLiteral("shot%1.jpg").arg(i)));
        ASSERT_TRUE(writeFile(files.last(), jpegOf(photoLikePicture(1280, 960, i), 95)));
    }
    // Room for about four and a half photos: two pictures are written at once, so whichever
    // pair is in flight when the disk fills, at least two photos are whole before it.
    ASSERT_TRUE(disk.fillUpTo(PhotoRendition::encodeJpeg(photoLikePicture(1280, 960, 0)).size() * 9 / 2));

    auto photos = std::make_unique<editing::ArtworkPhotos>(*document, *artwork);
    auto sheet = std::make_unique<QWidget>();
    auto *grid = new gui::PhotoGrid(*photos, sheet.get());
    sheet->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
    user.pathLists.push_back(files);
    grid->addPhotos();
    QTRY_VERIFY_WITH_TIMEOUT(!grid->isImporting(), 60000);
    ASSERT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    EXPECT_EQ(user.alerts[0].title, QStringLiteral("WARNING"));
    // The pictures' files or the database's row, whichever no longer fits.
    const QString &detail = user.alerts[0].detail;
    EXPECT_TRUE(detail.contains(sources.path()) &&
                (detail.contains(QStringLiteral("No space left on device")) ||
                 detail.contains(QStringLiteral("disk is full"))))
        << user.transcript().toStdString();
    const int added = photos->count();
    EXPECT_GE(added, 1);
    EXPECT_LT(added, 8);

    // Once there is room again, OK stores the photos that went in, each with its files.
    ASSERT_TRUE(QFile::remove(disk.filePath(QStringLiteral("filler"))));
    photos->commit();
    sheet.reset();
    photos.reset();
    ASSERT_TRUE(succeeded(document->close()));
    document = std::make_unique<VelumarkDatabase>();
    ASSERT_TRUE(succeeded(document->readFromURL(package)));
    ASSERT_EQ(document->artworks().size(), 1u);
    EXPECT_EQ(int(document->artworks().front()->images().size()), added);
    EXPECT_EQ(int(document->images().size()), added);
    for (const auto &image : document->images())
        EXPECT_FALSE(QImageReader(image->photoFilePath()).read().isNull());
    EXPECT_EQ(QDir(package).entryList({QStringLiteral("vl-*")}, QDir::Files).size(), 3 * added);
    EXPECT_TRUE(succeeded(document->close()));
}

} // namespace
} // namespace velumark::test
