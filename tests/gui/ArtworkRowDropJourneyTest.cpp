// Pictures dropped on a row of the artwork list of a document window: the row is highlighted while
// they are over it, and once dropped they become that artwork's photos (read back with the core).
#include "DragAndDrop.h"
#include "ShellJourney.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListModel.h"
#include "gui/window/ListPane.h"
#include "store/Client.h"
#include "store/Image.h"
#include "support/Succeeded.h"
#include "support/TestPictures.h"

#include <QApplication>
#include <QImageReader>
#include <QMimeData>
#include <QRubberBand>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace velumark::test {
namespace {

using ListKind = VelumarkDatabase::ListKind;

class ArtworkRowDropJourney : public ShellJourney
{
protected:
    static bool dropOn(gui::ListPane &pane, const QPoint &at, const QMimeData &data)
    {
        return dropOnto(pane.tableView()->viewport(), at, data) == Qt::CopyAction;
    }

    static QPoint rowCentre(gui::ListPane &pane, int row)
    {
        return pane.tableView()->visualRect(pane.tableView()->model()->index(row, 0)).center();
    }
};

TEST_F(ArtworkRowDropJourney, PicturesDroppedOnAnArtworkRowBecomeItsPhotosAndTheOtherFilesAreCounted)
{
    const QString package =
        makeCatalogue(QStringLiteral("Studio"),
                      {QStringLiteral("Alder"), QStringLiteral("Birch"), QStringLiteral("Cedar")});
    {
        VelumarkDatabase document;
        ASSERT_TRUE(succeeded(document.readFromURL(package)));
        auto client = std::make_unique<Client>();
        client->setCompany(QStringLiteral("North Gallery"));
        document.addClient(std::move(client));
        ASSERT_TRUE(succeeded(document.close()));
    }
    QMimeData dropped;
    QList<QUrl> urls;
    for (const char *name : {"one.jpg", "notes.txt", "two.jpg"}) {
        const QString file = path(QString::fromLatin1(name));
        ASSERT_TRUE(writeFile(file, file.endsWith(QLatin1String(".txt"))
                                        ? QByteArray("a shopping list")
                                        : jpegOf(photoLikePicture(1500, 1000, int(urls.size())))));
        urls.append(QUrl::fromLocalFile(file));
    }
    dropped.setUrls(urls);

    gui::DocumentWindow *window = app().documents().openPath(package);
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    gui::DocumentView *view = window->view();
    view->displayList(ListKind::Artworks);
    gui::ListPane &artworks = *view->listPane(ListKind::Artworks);
    QWidget *rows = artworks.tableView()->viewport();
    auto *highlight = rows->findChild<QRubberBand *>();
    ASSERT_TRUE(highlight);
    const auto &model = static_cast<const gui::ListModel &>(*artworks.tableView()->model());
    ASSERT_EQ(model.rowCount(), 3);
    const QString second = static_cast<Artwork *>(model.recordAt(1))->title();

    // Over the second row it is highlighted; beside the rows nothing is taken.
    QDragEnterEvent over(rowCentre(artworks, 1), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rows, &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_TRUE(highlight->isVisible());
    EXPECT_TRUE(highlight->geometry().contains(rowCentre(artworks, 1)));
    EXPECT_FALSE(highlight->geometry().contains(rowCentre(artworks, 0)));
    const QPoint beside(rows->width() / 2, rows->height() - 5);
    QDragMoveEvent away(beside, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rows, &away);
    EXPECT_FALSE(away.isAccepted());
    EXPECT_FALSE(highlight->isVisible());
    EXPECT_FALSE(dropOn(artworks, beside, dropped));
    // Without a picture (a catalogue, a text), the drop is the window's, not the row's.
    QMimeData noPicture;
    noPicture.setUrls({urls[1], QUrl::fromLocalFile(path(QStringLiteral("Other.vdb")))});
    EXPECT_FALSE(dropOn(artworks, rowCentre(artworks, 1), noPicture));
    EXPECT_FALSE(highlight->isVisible());

    // Dropped on the second row: the pictures are added behind the progress window.
    ASSERT_TRUE(dropOn(artworks, rowCentre(artworks, 1), dropped));
    EXPECT_FALSE(highlight->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(user.alerts.size(), size_t(1), 60000);
    EXPECT_TRUE(user.alerts[0].text.startsWith(QStringLiteral("1 of 3 files")))
        << user.transcript().toStdString();
    EXPECT_TRUE(user.alerts[0].detail.contains(QStringLiteral("notes.txt")));
    QTRY_VERIFY(!QApplication::activeModalWidget());

    // The other lists take no pictures.
    view->displayList(ListKind::Clients);
    gui::ListPane &clients = *view->listPane(ListKind::Clients);
    ASSERT_EQ(clients.tableView()->model()->rowCount(), 1);
    EXPECT_FALSE(dropOn(clients, rowCentre(clients, 0), dropped));
    EXPECT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();

    ASSERT_TRUE(app().documents().closeAll());
    deleteClosedWindows();
    VelumarkDatabase document;
    ASSERT_TRUE(succeeded(document.readFromURL(package)));
    EXPECT_EQ(document.images().size(), 2u);
    for (const auto &artwork : document.artworks()) {
        SCOPED_TRACE(artwork->title().toStdString());
        if (artwork->title() != second) {
            EXPECT_TRUE(artwork->images().empty());
            continue;
        }
        ASSERT_EQ(artwork->images().size(), 2u);
        EXPECT_EQ(artwork->photoKey1(), artwork->images()[0]->primaryKey());
        EXPECT_EQ(artwork->photoKey2(), artwork->images()[1]->primaryKey());
        for (const Image *image : artwork->images())
            EXPECT_FALSE(QImageReader(image->photoFilePath()).read().isNull());
    }
    EXPECT_TRUE(succeeded(document.close()));
}

} // namespace
} // namespace velumark::test
