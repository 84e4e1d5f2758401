#include "SheetJourney.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/editors/ArtworkSheet.h"
#include "gui/editors/ClientSheet.h"
#include "gui/editors/HistoryWindow.h"
#include "gui/editors/SubmissionSheet.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

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
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM client WHERE company = 'West'")),
              QStringLiteral("1"));

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
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM submission")), QStringLiteral("2"));

    // Delete the older one (North's) after the question.
    QTableView *table = history->pane()->tableView();
    const int north = rowShowing(history->pane(), QStringLiteral("North"));
    ASSERT_GE(north, 0);
    table->selectRow(north);
    ASSERT_TRUE(history->deleteAction()->isEnabled());
    user.answers = {QStringLiteral("Delete")};
    history->deleteAction()->trigger();
    EXPECT_EQ(history->list().rowCount(), 1);
    EXPECT_EQ(pane(ListKind::Submissions)->list().rowCount(), 1);
    EXPECT_EQ(
        stored(QStringLiteral("SELECT c.company FROM submission s JOIN client c ON c.pk = s.client_key")),
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
    EXPECT_EQ(stored(QStringLiteral("SELECT count(*) FROM client WHERE company = 'North'")),
              QStringLiteral("0"));
}

} // namespace
} // namespace velumark::test
