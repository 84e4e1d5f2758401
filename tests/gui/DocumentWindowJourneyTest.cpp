#include "CliProcess.h"
#include "ShellJourney.h"
#include "document/RecordList.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/CustomizeToolbarDialog.h"
#include "gui/window/DocumentView.h"
#include "gui/window/DocumentWindow.h"
#include "gui/window/ListPane.h"
#include "gui/window/SearchField.h"
#include "gui/window/StatisticsViewController.h"
#include "gui/window/StatusLine.h"
#include "gui/window/ToolbarArrangement.h"
#include "gui/window/ToolbarController.h"
#include "support/Succeeded.h"

#include <QAction>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

namespace velumark::test {
namespace {

using gui::ActionId;
using ListKind = VelumarkDatabase::ListKind;
using Figures = std::vector<std::pair<QString, QString>>;

class DocumentWindowJourney : public ShellJourney
{
protected:
    void SetUp() override
    {
        ShellJourney::SetUp();
        QSettings().remove(QStringLiteral("documentToolbar"));
    }

    // "Studio.vdb": artworks Dawn, Dusk and Noon; clients Dusk Gallery and Museum North; Dawn sold
    // at Dusk Gallery for 100.50, Dusk published by Museum North for 20, and Noon at Museum North
    // overdue since last year.
    QString makeStudio()
    {
        const QString package = path(QStringLiteral("Studio.vdb"));
        VelumarkDatabase document;
        EXPECT_TRUE(succeeded(document.readFromURL(package)));
        std::vector<Artwork *> artworks;
        for (const char *title : {"Dawn", "Dusk", "Noon"}) {
            auto artwork = std::make_unique<Artwork>();
            artwork->setTitle(QString::fromLatin1(title));
            artworks.push_back(document.addArtwork(std::move(artwork)));
        }
        std::vector<Client *> clients;
        for (const char *company : {"Dusk Gallery", "Museum North"}) {
            auto client = std::make_unique<Client>();
            client->setCompany(QString::fromLatin1(company));
            clients.push_back(document.addClient(std::move(client)));
        }
        const QDateTime lastYear = QDateTime::currentDateTime().addYears(-1);
        addSubmission(document, artworks[0], clients[0], lastYear, 1, 1, 100.5);
        addSubmission(document, artworks[1], clients[1], lastYear, 1, 2, 20);
        Submission *waiting = addSubmission(document, artworks[2], clients[1], lastYear, 0, 0, 0);
        waiting->setValidDueDate(true);
        waiting->setResponseDueDate(lastYear.addDays(30));
        document.updateSubmission(waiting);
        EXPECT_TRUE(succeeded(document.close()));
        return package;
    }

    static Submission *addSubmission(VelumarkDatabase &document, Artwork *artwork, Client *client,
                                     const QDateTime &sent, int response, int state, double income)
    {
        auto submission = std::make_unique<Submission>();
        submission->setArtwork(artwork);
        submission->setArtworkKey(artwork->primaryKey());
        submission->setClient(client);
        submission->setClientKey(client->primaryKey());
        submission->setSendDate(sent);
        submission->setResponseReceived(response);
        submission->setSubmissionState(state);
        submission->setIncome(income);
        return document.addSubmission(std::move(submission));
    }

    // Opens the catalogues and waits until the last window is the active one.
    gui::DocumentView *start(const QStringList &packages)
    {
        EXPECT_TRUE(app().start(packages));
        gui::DocumentWindow *window = app().documents().windows().value(packages.size() - 1);
        return window && activate(window) ? window->view() : nullptr;
    }

    static bool activate(QWidget *window)
    {
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    static gui::DocumentWindow *windowOf(gui::DocumentView *view)
    {
        return qobject_cast<gui::DocumentWindow *>(view->window());
    }

    // How many rows velumark-cli lists for the search (the catalogue must be closed).
    static int cliRows(const char *list, const QString &package, const QString &search)
    {
        const QStringList lines =
            cliOutput(strings({u"list", QString::fromLatin1(list), package, u"--search", search}))
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return int(std::count_if(lines.begin(), lines.end(), [](const QString &line) {
            return !line.startsWith(QStringLiteral("== "));
        }));
    }

    // The figures velumark-cli stats prints, label and figure.
    static Figures cliStatistics(const QString &package)
    {
        const QString printed = cliOutput({QStringLiteral("stats"), package});
        Figures figures;
        const QRegularExpression line(QStringLiteral("^(.+:)\\s+(\\S+)$"),
                                      QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(printed); it.hasNext();) {
            const auto match = it.next();
            figures.emplace_back(match.captured(1), match.captured(2));
        }
        return figures;
    }

    static QStringList arrangementOf(const QToolBar *toolbar)
    {
        QStringList identifiers;
        for (const QAction *action : toolbar->actions())
            identifiers.append(action->objectName());
        return identifiers;
    }

    // The texts of the recent-searches menu as it opens.
    static QStringList recentsMenuTexts(gui::SearchField *field)
    {
        QMenu *menu = field->recentsMenu();
        menu->popup(field->mapToGlobal(QPoint(0, field->height())));
        QStringList texts;
        for (const QAction *action : menu->actions())
            texts.append(action->text().isEmpty() ? QStringLiteral("-") : action->text());
        menu->hide();
        return texts;
    }

    static QAction *menuEntry(gui::SearchField *field, const QString &text)
    {
        QMenu *menu = field->recentsMenu();
        menu->popup(field->mapToGlobal(QPoint(0, field->height())));
        menu->hide();
        for (QAction *action : menu->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }
};

TEST_F(DocumentWindowJourney, ASearchStaysWhenAnotherListIsShownAndTheStatusLineCounts)
{
    const QString studio = makeStudio();
    const QString search = QStringLiteral("dusk");
    const int artworkHits = cliRows("artworks", studio, search);
    const int clientHits = cliRows("clients", studio, search);
    const int submissionHits = cliRows("submissions", studio, search);
    // The search keeps some rows of each list, not all.
    EXPECT_TRUE(artworkHits > 0 && artworkHits < 3 && clientHits > 0 && clientHits < 2 &&
                submissionHits > 0 && submissionHits < 3);
    gui::DocumentView *view = start({studio});
    ASSERT_TRUE(view);
    gui::DocumentWindow *window = windowOf(view);
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("3 artworks"));
    EXPECT_EQ(view->statusLine().overdue(), QStringLiteral("1 overdue submission"));

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(view->searchField()->hasFocus());
    QTest::keyClicks(view->searchField(), search);
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("%1 of 3 artworks").arg(artworkHits));

    QTest::keyClick(window, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(view->tabBar()->currentIndex(), 1);
    EXPECT_EQ(view->currentList(), ListKind::Clients);
    EXPECT_EQ(view->searchField()->text(), search);
    EXPECT_EQ(view->listPane(ListKind::Clients)->list().rowCount(), clientHits);
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("%1 of 2 clients").arg(clientHits));

    // A click on the pressed tab leaves the list as it is.
    QSignalSpy rebuilt(&view->listPane(ListKind::Clients)->list(), &RecordList::listRebuilt);
    QTest::mouseClick(view->tabBar(), Qt::LeftButton, {}, view->tabBar()->tabRect(1).center());
    EXPECT_EQ(rebuilt.count(), 0);
    QTest::mouseClick(view->tabBar(), Qt::LeftButton, {}, view->tabBar()->tabRect(2).center());
    EXPECT_EQ(view->currentList(), ListKind::Submissions);
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("%1 of 3 submissions").arg(submissionHits));

    // Escape clears the search; a record added meanwhile is counted.
    QTest::keyClick(view->searchField(), Qt::Key_Escape);
    EXPECT_TRUE(view->searchField()->text().isEmpty());
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("3 submissions"));
    QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
    auto artwork = std::make_unique<Artwork>();
    artwork->setTitle(QStringLiteral("Dusk II"));
    window->document().database().addArtwork(std::move(artwork));
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("4 artworks"));
}

TEST_F(DocumentWindowJourney, TheLastListAndTheRecentSearchesComeBackWithTheirCatalogue)
{
    const QString studio = makeStudio();
    const QString other = makeCatalogue(QStringLiteral("Other"), {QStringLiteral("Solo")});
    const int dawnHits = cliRows("submissions", studio, QStringLiteral("dawn"));
    gui::DocumentView *view = start({studio});
    ASSERT_TRUE(view);
    EXPECT_EQ(recentsMenuTexts(view->searchField()), QStringList{QStringLiteral("No Recent Searches")});
    QTest::keyClick(windowOf(view), Qt::Key_3, Qt::ControlModifier);
    QTest::keyClicks(view->searchField(), QStringLiteral("dawn"));
    QTest::keyClick(view->searchField(), Qt::Key_Return);
    view->searchField()->clear();
    QTest::keyClicks(view->searchField(), QStringLiteral("noon"));
    QTest::keyClick(view->searchField(), Qt::Key_Return);
    // The right column of the submission list, widened by the user.
    const auto rightColumn = [](gui::DocumentView *shown) {
        return shown->listPane(ListKind::Submissions)->tableView()->horizontalHeader();
    };
    const int widened = rightColumn(view)->sectionSize(1) + 37;
    rightColumn(view)->resizeSection(1, widened);
    trigger(ActionId::Close);
    deleteClosedWindows();
    ASSERT_EQ(windowCount(), 0);

    gui::DocumentWindow *reopened = app().documents().openPath(studio);
    ASSERT_TRUE(reopened);
    view = reopened->view();
    EXPECT_EQ(rightColumn(view)->sectionSize(1), widened);
    EXPECT_EQ(view->tabBar()->currentIndex(), 2);
    EXPECT_EQ(view->currentList(), ListKind::Submissions);
    EXPECT_TRUE(view->searchField()->text().isEmpty());
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("3 submissions"));
    EXPECT_EQ(recentsMenuTexts(view->searchField()),
              (QStringList{QStringLiteral("Recent Searches"), QStringLiteral("noon"), QStringLiteral("dawn"),
                           QStringLiteral("-"), QStringLiteral("Clear Search History")}));

    // Another catalogue keeps its own.
    gui::DocumentWindow *second = app().documents().openPath(other);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->view()->currentList(), ListKind::Artworks);
    EXPECT_NE(rightColumn(second->view())->sectionSize(1), widened);
    EXPECT_TRUE(second->view()->searchField()->recentSearches().isEmpty());

    // A recent search runs again when chosen; clearing the history empties the menu.
    QAction *dawn = menuEntry(view->searchField(), QStringLiteral("dawn"));
    ASSERT_TRUE(dawn);
    dawn->trigger();
    EXPECT_EQ(view->statusLine().counts(), QStringLiteral("%1 of 3 submissions").arg(dawnHits));
    EXPECT_EQ(view->searchField()->recentSearches().first(), QStringLiteral("dawn"));
    menuEntry(view->searchField(), QStringLiteral("Clear Search History"))->trigger();
    EXPECT_EQ(recentsMenuTexts(view->searchField()), QStringList{QStringLiteral("No Recent Searches")});
}

TEST_F(DocumentWindowJourney, StatisticsShowWhatTheCommandLinePrintsAndFollowTheCatalogue)
{
    const QString studio = makeStudio();
    const Figures printed = cliStatistics(studio);
    ASSERT_EQ(printed.size(), 12u);
    gui::DocumentView *view = start({studio});
    ASSERT_TRUE(view);
    trigger(ActionId::Statistics);
    QPointer<gui::StatisticsViewController> statistics = view->statistics();
    ASSERT_TRUE(statistics && statistics->isVisible());
    EXPECT_EQ(statistics->shownFigures(), printed);

    // The catalogue changes while the window is open.
    VelumarkDatabase &database = windowOf(view)->document().database();
    database.removeArtwork(database.artworks().front().get());
    QTRY_COMPARE(statistics->shownFigures().front().second, QStringLiteral("2"));
    EXPECT_NE(statistics->shownFigures(), printed);

    windowOf(view)->close();
    deleteClosedWindows();
    EXPECT_TRUE(statistics.isNull());
}

TEST_F(DocumentWindowJourney, EditingWaitsWhileAnOperationHoldsTheCatalogue)
{
    const QString studio = makeStudio();
    const QString other = makeCatalogue(QStringLiteral("Other"));
    gui::DocumentView *view = start({studio});
    ASSERT_TRUE(view);
    VelumarkDatabase &database = windowOf(view)->document().database();
    QAction *addItem = view->toolbarController().itemAction(QStringLiteral("AddItem"));
    QAction *deleteItem = view->toolbarController().itemAction(QStringLiteral("DeleteItem"));
    const auto menusEnabled = [this] {
        return app().actions().action(ActionId::AddItem)->isEnabled() &&
               app().actions().action(ActionId::RemoveItem)->isEnabled() &&
               app().actions().action(ActionId::Delete)->isEnabled();
    };
    EXPECT_TRUE(addItem->isEnabled());
    EXPECT_FALSE(deleteItem->isEnabled()); // nothing selected
    view->listPane(ListKind::Artworks)->tableView()->selectRow(0);
    EXPECT_TRUE(deleteItem->isEnabled());
    EXPECT_TRUE(menusEnabled());

    Result<OperationClaim> claim = database.beginOperation();
    ASSERT_TRUE(succeeded(claim));
    EXPECT_FALSE(addItem->isEnabled() || deleteItem->isEnabled() || menusEnabled());
    EXPECT_FALSE(view->statusLine().editingNotice().isEmpty());

    // The menus act on the active window's catalogue, which another one may edit meanwhile.
    gui::DocumentWindow *second = app().documents().openPath(other);
    ASSERT_TRUE(second && activate(second));
    EXPECT_TRUE(menusEnabled());
    ASSERT_TRUE(activate(windowOf(view)));
    EXPECT_FALSE(menusEnabled());

    claim->release();
    EXPECT_TRUE(addItem->isEnabled() && deleteItem->isEnabled() && menusEnabled());
    EXPECT_TRUE(view->statusLine().editingNotice().isEmpty());
}

TEST_F(DocumentWindowJourney, TheToolbarIsCustomizedForEveryWindowAndRestored)
{
    const QString studio = makeStudio();
    const QString other = makeCatalogue(QStringLiteral("Other"));
    gui::DocumentView *view = start({studio, other});
    ASSERT_TRUE(view);
    gui::DocumentView *first = app().documents().windows().first()->view();
    const QStringList defaults = gui::ToolbarArrangement::documentToolbar().defaultItems();
    EXPECT_EQ(arrangementOf(first->toolbar()), defaults);
    for (const char *available : {"Print", "Contacts", "Import", "Export"})
        EXPECT_TRUE(first->toolbarController().itemAction(QLatin1String(available))->isEnabled())
            << available;
    first->toolbarController().itemAction(QStringLiteral("Statistics"))->trigger();
    ASSERT_TRUE(first->statistics() && first->statistics()->isVisible());
    first->statistics()->close();
    QTest::keyClicks(first->searchField(), QStringLiteral("dusk"));

    // Without the search field, and with Add Item moved before the space in front of it.
    trigger(ActionId::CustomizeToolbar);
    auto *dialog = windowOf(view)->findChild<gui::CustomizeToolbarDialog *>();
    ASSERT_TRUE(dialog && dialog->isVisible());
    QListWidget *items = dialog->toolbarList();
    items->setCurrentRow(int(defaults.indexOf(QStringLiteral("Search"))));
    dialog->removeSelected();
    items->setCurrentRow(int(defaults.lastIndexOf(QStringLiteral("AddItem"))) - 1);
    dialog->moveSelected(-1);
    dialog->accept();
    QStringList expected = defaults;
    expected.removeOne(QStringLiteral("Search"));
    expected.swapItemsAt(expected.indexOf(QStringLiteral("AddItem")),
                         expected.indexOf(QStringLiteral("AddItem")) - 1);
    for (gui::DocumentView *shown : {first, view})
        EXPECT_EQ(arrangementOf(shown->toolbar()), expected);
    EXPECT_EQ(gui::ToolbarArrangement::documentToolbar().saved(), expected);
    // The search the field can no longer show is gone; Ctrl+F has nothing to focus.
    EXPECT_TRUE(first->searchField()->text().isEmpty());
    EXPECT_EQ(first->statusLine().counts(), QStringLiteral("3 artworks"));
    QTest::keyClick(windowOf(view), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(user.beeps, 1);

    trigger(ActionId::CustomizeToolbar);
    dialog = windowOf(view)->findChild<gui::CustomizeToolbarDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->arrangement(), expected);
    dialog->restoreDefaultButton()->click();
    dialog->accept();
    EXPECT_EQ(arrangementOf(first->toolbar()), defaults);

    // What the settings hold is taken only as far as the toolbar knows it.
    QSettings().setValue(QStringLiteral("documentToolbar/items"),
                         QStringList{QStringLiteral("Print"), QStringLiteral("Bogus"),
                                     QStringLiteral("Print"), QStringLiteral("Space"),
                                     QStringLiteral("Space")});
    EXPECT_EQ(gui::ToolbarArrangement::documentToolbar().saved(),
              (QStringList{QStringLiteral("Print"), QStringLiteral("Space"), QStringLiteral("Space")}));
}

} // namespace
} // namespace velumark::test
