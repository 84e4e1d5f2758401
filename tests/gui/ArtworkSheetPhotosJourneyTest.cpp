// Journeys through the photos of the artwork sheet: photos added with the add-photo button and an
// empty slot, deleted in the grid, then Cancel or OK; the outcome read back with the core once the
// catalogue is closed.
#include "SheetJourney.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/PhotoSlots.h"
#include "gui/photos/PhotoGrid.h"
#include "gui/photos/PhotoViewer.h"
#include "gui/window/DocumentWindow.h"
#include "support/SampleCatalogue.h"
#include "support/Succeeded.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace velumark::test {
namespace {

class SheetPhotosJourney : public SheetJourney
{
protected:
    void SetUp() override
    {
        SheetJourney::SetUp();
        // Dunes comes with one photo of its own.
        auto image = std::make_unique<Image>();
        image->setPhoto(photoLikePicture(640, 480, 9));
        Image *added = document().addImage(std::move(image));
        document().setArtworkImages(artworkTitled(document(), QStringLiteral("Dunes")), {added});
        original = added->primaryKey();
    }

    QStringList pictures(int count)
    {
        QStringList files;
        for (int i = 0; i < count; ++i) {
            files.append(path(QStringLiteral("shoot%1.jpg").arg(i)));
            EXPECT_TRUE(writeFile(files.last(), jpegOf(photoLikePicture(1200, 900, i))));
        }
        return files;
    }

    // The user picks the files in the chooser that `start` opens. While they are being added the
    // sheet can be neither saved nor cancelled.
    void add(gui::ArtworkSheet *sheet, QAbstractButton *start, const QStringList &files)
    {
        user.pathLists.push_back(files);
        QTest::mouseClick(start, Qt::LeftButton);
        ASSERT_TRUE(sheet->photoGrid()->isImporting());
        EXPECT_FALSE(sheet->okButton()->isEnabled());
        EXPECT_FALSE(sheet->cancelButton()->isEnabled());
        sheet->reject();
        EXPECT_TRUE(sheet->isVisible()) << "Esc and closing wait for the photos too";
        QTRY_VERIFY_WITH_TIMEOUT(!sheet->photoGrid()->isImporting(), 60000);
        EXPECT_TRUE(sheet->okButton()->isEnabled());
        EXPECT_TRUE(sheet->cancelButton()->isEnabled());
        EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    }

    // Deletes the grid's first photo with the Delete key.
    static void deleteFirstInGrid(gui::ArtworkSheet *sheet)
    {
        sheet->showPhotosTab();
        QListView *view = sheet->photoGrid()->view();
        view->doItemsLayout();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        QTest::keyClick(view, Qt::Key_Delete);
    }

    // Closes the catalogue and opens it with the core.
    std::unique_ptr<VelumarkDatabase> reopened()
    {
        EXPECT_TRUE(window()->close());
        deleteClosedWindows();
        auto core = std::make_unique<VelumarkDatabase>();
        EXPECT_TRUE(succeeded(core->readFromURL(package())));
        return core;
    }

    QStringList pictureFiles() const { return test::pictureFiles(package()); }

    static std::vector<qint64> keys(const std::vector<Image *> &images)
    {
        std::vector<qint64> result;
        for (const Image *image : images)
            result.push_back(image->primaryKey());
        return result;
    }

    qint64 original = -1;
};

TEST_F(SheetPhotosJourney, CancelTakesBackThePhotosAddedAndKeepsThoseDeleted)
{
    const QStringList filesBefore = pictureFiles();
    auto *sheet =
        gui::ArtworkSheet::edit(window(), document(), *artworkTitled(document(), QStringLiteral("Dunes")));
    ASSERT_TRUE(sheet);
    add(sheet, sheet->addPhotoButton(), pictures(3));
    EXPECT_EQ(pictureFiles().size(), filesBefore.size() + 9) << "photos are stored as they come in";
    deleteFirstInGrid(sheet);
    EXPECT_EQ(sheet->photoGrid()->view()->model()->rowCount(), 3);
    // The slots follow the grid: three photos, then empty slots.
    EXPECT_NE(sheet->photoSlots()->slotButton(2)->toolTip(), QStringLiteral("Add photos"));
    EXPECT_EQ(sheet->photoSlots()->slotButton(3)->toolTip(), QStringLiteral("Add photos"));
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    // Cancelling a sheet with photo changes asks nothing more: the photos go back at once.
    QTRY_VERIFY(!sheet->isVisible());

    const auto core = reopened();
    Artwork *dunes = artworkTitled(*core, QStringLiteral("Dunes"));
    ASSERT_TRUE(dunes);
    EXPECT_EQ(keys(dunes->images()), std::vector<qint64>{original});
    EXPECT_EQ(dunes->photoKey1(), original);
    EXPECT_EQ(core->images().size(), 1u);
    EXPECT_EQ(pictureFiles(), filesBefore);
}

TEST_F(SheetPhotosJourney, OkStoresThePhotosInTheirOrderWithTheFirstTwoAsPhotoKeys)
{
    auto *sheet =
        gui::ArtworkSheet::edit(window(), document(), *artworkTitled(document(), QStringLiteral("Dunes")));
    ASSERT_TRUE(sheet);
    // The second slot is empty: a click on it adds photos.
    add(sheet, sheet->photoSlots()->slotButton(1), pictures(2));
    deleteFirstInGrid(sheet);
    // A filled slot opens its photo in the viewer.
    QTest::mouseClick(sheet->photoSlots()->slotButton(0), Qt::LeftButton);
    ASSERT_TRUE(sheet->photoGrid()->viewer());
    sheet->photoGrid()->viewer()->close();
    pressOk(sheet);
    QTRY_VERIFY(!sheet->isVisible());

    auto *created = gui::ArtworkSheet::create(window(), document());
    ASSERT_TRUE(created);
    typeInto(control<QLineEdit>(created, "title"), QStringLiteral("Tide"));
    add(created, created->addPhotoButton(), pictures(1));
    pressOk(created);
    QTRY_VERIFY(!created->isVisible());

    const auto core = reopened();
    Artwork *dunes = artworkTitled(*core, QStringLiteral("Dunes"));
    ASSERT_TRUE(dunes);
    ASSERT_EQ(dunes->images().size(), 2u);
    EXPECT_EQ(dunes->photoKey1(), dunes->images()[0]->primaryKey());
    EXPECT_EQ(dunes->photoKey2(), dunes->images()[1]->primaryKey());
    EXPECT_LT(dunes->images()[0]->primaryKey(), dunes->images()[1]->primaryKey()) << "in the order added";
    for (const Image *photo : dunes->images())
        EXPECT_NE(photo->primaryKey(), original);
    EXPECT_FALSE(QFile::exists(QDir(package()).filePath(Image::photoFileName(original))));
    Artwork *tide = artworkTitled(*core, QStringLiteral("Tide"));
    ASSERT_TRUE(tide);
    ASSERT_EQ(tide->images().size(), 1u);
    EXPECT_EQ(tide->photoKey1(), tide->images()[0]->primaryKey());
    EXPECT_EQ(tide->photoKey2(), -1);
    EXPECT_EQ(core->images().size(), 3u);
    EXPECT_EQ(pictureFiles().size(), 9);
}

} // namespace
} // namespace velumark::test
