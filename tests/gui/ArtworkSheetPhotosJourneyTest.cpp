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
#include <QPointer>
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

    QStringList pictureFiles() const { return test::pictureFiles(package()); }

    qint64 original = -1;
};

// What Cancel and OK do with the photos is the working list's (tests/editing); here the sheet's
// buttons and slots reach it.
TEST_F(SheetPhotosJourney, CancelTakesBackThePhotosAddedAndOkKeepsThemWithoutTheDeletedOne)
{
    const QStringList filesBefore = pictureFiles();
    Artwork *dunes = artworkTitled(document(), QStringLiteral("Dunes"));
    QPointer<gui::ArtworkSheet> sheet = gui::ArtworkSheet::edit(window(), document(), *dunes);
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
    QTRY_VERIFY(!sheet);
    EXPECT_EQ(pictureFiles(), filesBefore);
    EXPECT_EQ(dunes->images().size(), 1u);

    sheet = gui::ArtworkSheet::edit(window(), document(), *dunes);
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
    // A new artwork's photos become its own once it is stored.
    auto *created = gui::ArtworkSheet::create(window(), document());
    ASSERT_TRUE(created);
    typeInto(control<QLineEdit>(created, "title"), QStringLiteral("Tide"));
    add(created, created->addPhotoButton(), pictures(1));
    pressOk(created);
    QTRY_VERIFY(!created->isVisible());

    EXPECT_TRUE(window()->close());
    deleteClosedWindows();
    VelumarkDatabase core;
    ASSERT_TRUE(succeeded(core.readFromURL(package())));
    Artwork *stored = artworkTitled(core, QStringLiteral("Dunes"));
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->images().size(), 2u);
    for (const Image *photo : stored->images())
        EXPECT_NE(photo->primaryKey(), original);
    ASSERT_TRUE(artworkTitled(core, QStringLiteral("Tide")));
    EXPECT_EQ(artworkTitled(core, QStringLiteral("Tide"))->images().size(), 1u);
    EXPECT_EQ(pictureFiles().size(), 9);
}

} // namespace
} // namespace velumark::test
