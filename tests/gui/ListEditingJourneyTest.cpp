#include "SheetJourney.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/CustomizeToolbarDialog.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"
#include "gui/window/SearchField.h"
#include "gui/window/ToolbarArrangement.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace velumark::test {
namespace {

using gui::ArtworkSheet;
using gui::ClientSheet;
using gui::HistoryWindow;
using gui::SubmissionSheet;
using ListKind = VelumarkDatabase::ListKind;

class ListEditingJourney : public SheetJourney
{
protected:
    gui::ListPane *pane(ListKind kind) const { return window()->view()->listPane(kind); }
    void showList(ListKind kind) const { window()->view()->displayList(kind); }
    // The row of the record whose first line reads `text`.
    static int rowShowing(gui::ListPane *pane, const QString &text)
    {
        QAbstractItemModel *model = pane->tableView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            if (model->index(row, 0).data().toString().contains(text))
                return row;
        return -1;
    }
    static void doubleClickRow(gui::ListPane *pane, int row)
    {
        QTableView *table = pane->tableView();
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    template <typename Window> Window *opened() const
    {
        const QList<Window *> found = window()->findChildren<Window *>();
        return found.size() == 1 ? found.front() : nullptr;
    }
    // Chooses the item of that text in the context menu the next popup shows.
    static void chooseFromNextMenu(const QString &text)
    {
        QTimer::singleShot(0, [text] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            for (QAction *action : menu->actions()) {
                if (action->text() == text) {
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            }
            menu->close();
            FAIL() << "no menu item " << text.toStdString();
        });
    }
    static QStringList itemsOf(const QToolBar *toolbar)
    {
        QStringList identifiers;
        for (const QAction *action : toolbar->actions())
            identifiers.append(action->objectName());
        return identifiers;
    }
    QAction *historyItem() { return app().actions().action(gui::ActionId::SubmissionHistory); }
};

TEST_F(ListEditingJourney, RowsOpenTheirSheetsAndAddItemOpensANewOneForTheListShown)
{
    showList(ListKind::Artworks);
    const int harbour = rowShowing(pane(ListKind::Artworks), QStringLiteral("Harbour"));
    ASSERT_GE(harbour, 0);
    doubleClickRow(pane(ListKind::Artworks), harbour);
    QPointer<ArtworkSheet> artworkSheet = opened<ArtworkSheet>();
    ASSERT_TRUE(artworkSheet);
    EXPECT_EQ(control<QLineEdit>(artworkSheet, "title")->text(), QStringLiteral("Harbour"));
    artworkSheet->reject();
    QTRY_VERIFY(!artworkSheet);

    // Return on the selected row does the same.
    showList(ListKind::Clients);
    QTableView *clients = pane(ListKind::Clients)->tableView();
    clients->setFocus();
    clients->setCurrentIndex(
        clients->model()->index(rowShowing(pane(ListKind::Clients), QStringLiteral("South")), 0));
    QTest::keyClick(clients, Qt::Key_Return);
    QPointer<ClientSheet> clientSheet = opened<ClientSheet>();
    ASSERT_TRUE(clientSheet);
    EXPECT_EQ(control<QLineEdit>(clientSheet, "company")->text(), QStringLiteral("South"));
    clientSheet->reject();
    QTRY_VERIFY(!clientSheet);

    // Add Item on the client list: the new client is stored and listed.
    window()->view()->handleAddButton();
    clientSheet = opened<ClientSheet>();
    ASSERT_TRUE(clientSheet);
    EXPECT_EQ(clientSheet->windowTitle(), QStringLiteral("New Client"));
    typeInto(control<QLineEdit>(clientSheet, "company"), QStringLiteral("West"));
    pressOk(clientSheet);
    QTRY_VERIFY(!clientSheet);
    EXPECT_GE(rowShowing(pane(ListKind::Clients), QStringLiteral("West")), 0);

    showList(ListKind::Submissions);
    window()->view()->handleAddButton();
    QPointer<SubmissionSheet> submissionSheet = opened<SubmissionSheet>();
    ASSERT_TRUE(submissionSheet);
    EXPECT_EQ(submissionSheet->windowTitle(), QStringLiteral("New Submission"));
    submissionSheet->reject();
}

TEST_F(ListEditingJourney, AHistoryWindowAddsAndDeletesAndBothListsFollow)
{
    Artwork *dunes = document().artworks().front().get();
    ASSERT_EQ(dunes->title(), QStringLiteral("Dunes"));
    QPointer<ArtworkSheet> sheet = ArtworkSheet::edit(window(), document(), *dunes);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->historyButton()->isVisible());
    QTest::mouseClick(sheet->historyButton(), Qt::LeftButton);
    QPointer<HistoryWindow> history = sheet->findChild<HistoryWindow *>();
    ASSERT_TRUE(history);
    EXPECT_EQ(history->windowTitle(), QStringLiteral("Submission History"));
    EXPECT_EQ(history->list().rowCount(), 1);
    EXPECT_EQ(HistoryWindow::open(sheet, document(), dunes), history.data()) << "brought forward";

    history->addAction()->trigger();
    QPointer<SubmissionSheet> added = history->findChild<SubmissionSheet *>();
    ASSERT_TRUE(added);
    EXPECT_EQ(control<QComboBox>(added, "artwork")->currentText(), QStringLiteral("Dunes"));
    EXPECT_FALSE(control<QComboBox>(added, "artwork")->isEnabled());
    control<QComboBox>(added, "client")->setFocus();
    QTest::keyClicks(control<QComboBox>(added, "client"), QStringLiteral("Sou"));
    pressOk(added);
    QTRY_VERIFY(!added);
    EXPECT_EQ(history->list().rowCount(), 2);
    EXPECT_EQ(pane(ListKind::Submissions)->list().rowCount(), 2);

    // Delete the older one (North's) after the question.
    QTableView *table = history->pane()->tableView();
    const int north = rowShowing(history->pane(), QStringLiteral("North"));
    ASSERT_GE(north, 0);
    table->selectRow(north);
    ASSERT_TRUE(history->deleteAction()->isEnabled());
    user.answers = {QStringLiteral("Delete")};
    history->deleteAction()->trigger();
    EXPECT_EQ(pane(ListKind::Submissions)->list().rowCount(), 1);
    ASSERT_EQ(history->list().rowCount(), 1);
    EXPECT_EQ(static_cast<Submission *>(history->list().recordAt(0))->client()->company(),
              QStringLiteral("South"));

    // The window goes with its artwork.
    history->close();
    QTRY_VERIFY(!history);
    sheet->reject();
}

TEST_F(ListEditingJourney, AClientsHistoryOpensFromItsRowAndClosesWhenTheClientGoes)
{
    showList(ListKind::Clients);
    QTableView *clients = pane(ListKind::Clients)->tableView();
    const int north = rowShowing(pane(ListKind::Clients), QStringLiteral("North"));
    ASSERT_GE(north, 0);
    // The row's menu: "Submission History", chosen as a user does once it is open.
    QTimer::singleShot(0, [] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        ASSERT_EQ(menu->actions().size(), 2);
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    emit clients->customContextMenuRequested(clients->visualRect(clients->model()->index(north, 0)).center());
    QPointer<HistoryWindow> history = opened<HistoryWindow>();
    ASSERT_TRUE(history);
    EXPECT_EQ(history->list().clientForHistory()->company(), QStringLiteral("North"));
    EXPECT_EQ(history->list().rowCount(), 1);

    document().removeClient(history->list().clientForHistory());
    QTRY_VERIFY(!history);
}

TEST_F(ListEditingJourney, TheMenuOpensTheHistoryOfTheOneArtworkOrClientSelected)
{
    // In the View menu, with a key of its own.
    QMenu *view = nullptr;
    for (QAction *menu : window()->menuBar()->actions()) {
        if (menu->text().remove(QLatin1Char('&')) == QStringLiteral("View"))
            view = menu->menu();
    }
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->actions().contains(historyItem()));
    EXPECT_EQ(historyItem()->text(), QStringLiteral("Show Submission History"));
    EXPECT_EQ(historyItem()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));

    showList(ListKind::Artworks);
    QTableView *artworks = pane(ListKind::Artworks)->tableView();
    EXPECT_FALSE(historyItem()->isEnabled()) << "nothing selected";
    artworks->selectAll();
    EXPECT_FALSE(historyItem()->isEnabled()) << "two artworks selected";
    artworks->selectRow(rowShowing(pane(ListKind::Artworks), QStringLiteral("Harbour")));
    ASSERT_TRUE(historyItem()->isEnabled());
    trigger(gui::ActionId::SubmissionHistory);
    QPointer<HistoryWindow> history = opened<HistoryWindow>();
    ASSERT_TRUE(history);
    ASSERT_TRUE(history->list().artworkForHistory());
    EXPECT_EQ(history->list().artworkForHistory()->title(), QStringLiteral("Harbour"));
    EXPECT_EQ(history->list().rowCount(), 0);
    history->close();
    QTRY_VERIFY(!history);

    // A search rebuilds the list and takes the selection with it.
    window()->view()->searchField()->setText(QStringLiteral("Dun"));
    EXPECT_FALSE(historyItem()->isEnabled());
    window()->view()->searchField()->clear();

    showList(ListKind::Clients);
    EXPECT_FALSE(historyItem()->isEnabled());
    pane(ListKind::Clients)
        ->tableView()
        ->selectRow(rowShowing(pane(ListKind::Clients), QStringLiteral("North")));
    trigger(gui::ActionId::SubmissionHistory);
    history = opened<HistoryWindow>();
    ASSERT_TRUE(history);
    ASSERT_TRUE(history->list().clientForHistory());
    EXPECT_EQ(history->list().clientForHistory()->company(), QStringLiteral("North"));
    EXPECT_EQ(history->list().rowCount(), 1);
    history->close();

    ASSERT_TRUE(historyItem()->isEnabled());
    showList(ListKind::Submissions);
    EXPECT_FALSE(historyItem()->isEnabled()) << "North stays selected on a list not shown";
    pane(ListKind::Submissions)->tableView()->selectRow(0);
    EXPECT_FALSE(historyItem()->isEnabled()) << "a submission has no history";
}

TEST_F(ListEditingJourney, HistoryToolbarsAreCustomizedApartFromTheMainToolbar)
{
    const QStringList mainItems = itemsOf(window()->view()->toolbar());
    Artwork *dunes = document().artworks().front().get();
    QPointer<HistoryWindow> history = HistoryWindow::open(window(), document(), dunes);
    ASSERT_TRUE(history);
    auto *toolbar = history->findChild<QToolBar *>();
    ASSERT_TRUE(toolbar);
    const QStringList defaults = {QStringLiteral("FlexibleSpace"), QStringLiteral("DeleteItem"),
                                  QStringLiteral("Space"), QStringLiteral("AddItem"),
                                  QStringLiteral("Space")};
    EXPECT_EQ(itemsOf(toolbar), defaults);

    chooseFromNextMenu(QStringLiteral("Customize Toolbar..."));
    emit toolbar->customContextMenuRequested(toolbar->rect().center());
    QPointer<gui::CustomizeToolbarDialog> dialog = history->findChild<gui::CustomizeToolbarDialog *>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    // Only what a history offers: its two items and the spaces.
    QStringList offered;
    for (int row = 0; row < dialog->availableList()->count(); ++row)
        offered << dialog->availableList()->item(row)->text();
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Space"), QStringLiteral("Flexible Space")}));
    dialog->toolbarList()->setCurrentRow(int(defaults.indexOf(QStringLiteral("DeleteItem"))));
    dialog->removeSelected();
    dialog->accept();
    QStringList customized = defaults;
    customized.removeOne(QStringLiteral("DeleteItem"));
    EXPECT_EQ(itemsOf(toolbar), customized);
    EXPECT_EQ(itemsOf(window()->view()->toolbar()), mainItems);

    // Another history window opens with the same items; the commands still work.
    Client *north = document().clients().front().get();
    QPointer<HistoryWindow> clients = HistoryWindow::open(window(), document(), nullptr, north);
    ASSERT_TRUE(clients);
    EXPECT_EQ(itemsOf(clients->findChild<QToolBar *>()), customized);
    EXPECT_TRUE(clients->addAction()->isEnabled());
    clients->close();
    QTRY_VERIFY(!clients);

    // View > Customize Toolbar acts on the toolbar of the window in front.
    QTRY_VERIFY(!dialog);
    history->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(history));
    trigger(gui::ActionId::CustomizeToolbar);
    dialog = history->findChild<gui::CustomizeToolbarDialog *>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    EXPECT_FALSE(window()->findChild<gui::CustomizeToolbarDialog *>(QString(), Qt::FindDirectChildrenOnly));
    EXPECT_EQ(dialog->arrangement(), customized);
    dialog->restoreDefaultButton()->click();
    dialog->accept();
    EXPECT_EQ(itemsOf(toolbar), defaults);
    history->close();
    QTRY_VERIFY(!dialog);
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    trigger(gui::ActionId::CustomizeToolbar);
    dialog = window()->findChild<gui::CustomizeToolbarDialog *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->arrangement(), mainItems);
    dialog->reject();
}

TEST_F(ListEditingJourney, SheetsAndHistoriesOpenAtTheSizeTheyWereLeftAt)
{
    Artwork *dunes = document().artworks().front().get();
    QPointer<ArtworkSheet> sheet = ArtworkSheet::edit(window(), document(), *dunes);
    ASSERT_TRUE(sheet);
    const QSize artworkSize = sheet->size() + QSize(90, 70);
    sheet->resize(artworkSize);
    sheet->reject();
    QTRY_VERIFY(!sheet);

    // The new-artwork sheet shares the size; the client sheet keeps its own.
    sheet = ArtworkSheet::create(window(), document());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->size(), artworkSize);
    sheet->reject();
    QTRY_VERIFY(!sheet);
    QPointer<ClientSheet> client = ClientSheet::create(window(), document());
    ASSERT_TRUE(client);
    EXPECT_NE(client->size(), artworkSize);
    client->reject();
    QTRY_VERIFY(!client);

    QPointer<HistoryWindow> history = HistoryWindow::open(window(), document(), dunes);
    ASSERT_TRUE(history);
    const QSize historySize = history->size() + QSize(50, 120);
    history->resize(historySize);
    history->close();
    QTRY_VERIFY(!history);
    history = HistoryWindow::open(window(), document(), nullptr, document().clients().front().get());
    ASSERT_TRUE(history);
    EXPECT_EQ(history->size(), historySize);

    // A sheet and a history that go with their catalogue's window keep their sizes too.
    sheet = ArtworkSheet::edit(window(), document(), *dunes);
    ASSERT_TRUE(sheet);
    const QSize closedWithWindow = artworkSize + QSize(40, 30);
    sheet->resize(closedWithWindow);
    const QSize historyClosedWithWindow = historySize - QSize(20, 40);
    history->resize(historyClosedWithWindow);
    EXPECT_TRUE(window()->close());
    deleteClosedWindows();
    ASSERT_FALSE(sheet);
    ASSERT_FALSE(history);

    app().documents().openPaths({package()});
    gui::DocumentWindow *reopened = onlyWindow();
    ASSERT_TRUE(reopened);
    VelumarkDatabase &studio = reopened->document().database();
    sheet = ArtworkSheet::create(reopened, studio);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->size(), closedWithWindow);
    sheet->reject();
    history = HistoryWindow::open(reopened, studio, studio.artworks().front().get());
    ASSERT_TRUE(history);
    EXPECT_EQ(history->size(), historyClosedWithWindow);
    history->close();
}

} // namespace
} // namespace velumark::test
