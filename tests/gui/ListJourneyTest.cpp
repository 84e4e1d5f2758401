// Journeys through the lists of a catalogue made and read back by velumark-cli: what the rows
// show, sorting by the column headings, deleting, searching, contact cards dropped on the client
// list, the floating section band and the keyboard.
#include "CliProcess.h"
#include "DragAndDrop.h"
#include "ScriptedInteraction.h"
#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "gui/window/ListModel.h"
#include "gui/window/ListPane.h"
#include "gui/window/VLHeadingView.h"
#include "store/AppPreferences.h"
#include "store/Image.h"
#include "support/Succeeded.h"
#include "support/TestEnvironment.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMainWindow>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace velumark::test {

namespace {

using gui::ListModel;
using gui::ListPane;

class ListJourney : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The application's own settings store, which velumark-cli reads as well.
        setPreferences(std::make_unique<AppPreferences>());
        getPreferences().setSortArtworksByArtist(true);
        package = folder.filePath(QStringLiteral("Studio.vdb"));
        cliOutput({QStringLiteral("demo"), package});
    }
    void TearDown() override
    {
        closeCatalogue();
        getPreferences().setSortArtworksByArtist(false);
        configureApplication();
    }

    static QStringList lines(const QString &text)
    {
        return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    void openCatalogue()
    {
        document = std::make_unique<VelumarkDatabase>();
        ASSERT_TRUE(succeeded(document->readFromURL(package)));
    }
    void closeCatalogue()
    {
        windows.clear();
        if (document) {
            EXPECT_TRUE(document->close());
        }
        document.reset();
    }
    // A pane on the list in a window of its own, on the screen.
    ListPane &show(RecordList &list, QSize size = QSize(900, 600))
    {
        auto window = std::make_unique<QMainWindow>();
        auto *pane = new ListPane(*document, list);
        // Qt's own checks of the model, on every change the journey makes.
        new QAbstractItemModelTester(pane->tableView()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::Fatal, pane);
        window->setCentralWidget(pane);
        window->resize(size);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        windows.push_back(std::move(window));
        return *pane;
    }
    static ListModel &model(ListPane &pane) { return static_cast<ListModel &>(*pane.tableView()->model()); }

    // The rows as the window shows them, written the way `velumark-cli list` prints a row.
    static QStringList shownRows(ListPane &pane)
    {
        QStringList rows;
        const ListModel &rowsModel = model(pane);
        for (int row = 0; row < rowsModel.rowCount(); ++row) {
            QList<CellContent> cells;
            for (int column = 0; column < rowsModel.columnCount(); ++column)
                cells << rowsModel.index(row, column).data(ListModel::CellRole).value<CellContent>();
            if (cells[0].isSectionHeading)
                rows << QStringLiteral("== %1 ==").arg(cells[0].sectionHeading);
            QStringList fields;
            for (const CellContent &cell : cells) {
                for (const QString &text : {cell.mainText, cell.subText, cell.moreSubText, cell.last1SubText,
                                            cell.last2SubText, cell.mainExtraColumn, cell.subExtraColumn}) {
                    if (!text.isEmpty())
                        fields << text;
                }
            }
            QStringList icons;
            for (const QString &icon : {cells[0].statusImage, cells[0].statusImage2}) {
                if (!icon.isEmpty())
                    icons << icon;
            }
            if (!icons.isEmpty())
                fields << QStringLiteral("[%1]").arg(icons.join(QStringLiteral(", ")));
            rows << (cells[0].backgroundImage.isEmpty() ? QStringLiteral("  ") : QStringLiteral("! ")) +
                        fields.join(QStringLiteral(" | "));
        }
        return rows;
    }
    // Whether every row of the table is as high as the list says (band rows higher).
    static bool heightsFollowTheList(ListPane &pane)
    {
        for (int row = 0; row < pane.list().rowCount(); ++row) {
            if (pane.tableView()->rowHeight(row) != qRound(pane.list().rowHeight(row)))
                return false;
        }
        return true;
    }
    static void clickHeading(ListPane &pane, int column)
    {
        QHeaderView *header = pane.tableView()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    static void clickRow(ListPane &pane, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTableView *table = pane.tableView();
        table->scrollTo(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers,
                          table->visualRect(table->model()->index(row, 0)).center());
    }
    QTemporaryDir folder;
    QString package;
    ScriptedInteraction user;
    std::unique_ptr<VelumarkDatabase> document;
    std::vector<std::unique_ptr<QMainWindow>> windows;
};

TEST_F(ListJourney, EachListShowsTheRowsOfTheCommandLine)
{
    const char *const kinds[] = {"artworks", "clients", "submissions"};
    QStringList expected[3];
    for (int kind = 0; kind < 3; ++kind)
        expected[kind] =
            lines(cliOutput({QStringLiteral("list"), QString::fromLatin1(kinds[kind]), package}));
    openCatalogue();
    for (int kind = 0; kind < 3; ++kind) {
        ListPane &pane = show(*document->listController(static_cast<VelumarkDatabase::ListKind>(kind)));
        EXPECT_EQ(shownRows(pane), expected[kind]) << kinds[kind];
        EXPECT_TRUE(heightsFollowTheList(pane)) << kinds[kind];
        EXPECT_EQ(pane.shownCount(), pane.totalCount());
    }
    // The sample has artists and years enough for several bands.
    EXPECT_GE(expected[0].filter(QStringLiteral("== ")).size(), 3);
    EXPECT_GE(expected[2].filter(QStringLiteral("== ")).size(), 2);
    EXPECT_EQ(expected[2].filter(QRegularExpression(QStringLiteral("^! "))).size(), 1);
}

TEST_F(ListJourney, HeadingClicksMoveTheIndicatorThenFlipTheOrder)
{
    openCatalogue();
    ListPane &pane = show(*document->submissionListController());
    QHeaderView *header = pane.tableView()->horizontalHeader();
    const QStringList before = shownRows(pane);
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    pane.tableView()->verticalScrollBar()->setValue(200);
    clickHeading(pane, 1);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(shownRows(pane), before);
    EXPECT_EQ(pane.tableView()->verticalScrollBar()->value(), 0);

    clickHeading(pane, 1);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The whole order reversed: the same records, last first (bands move to the new first rows).
    std::vector<Record *> reversed;
    for (int row = 0; row < pane.list().rowCount(); ++row)
        reversed.insert(reversed.begin(), pane.list().recordAt(row));
    clickHeading(pane, 1);
    std::vector<Record *> again;
    for (int row = 0; row < pane.list().rowCount(); ++row)
        again.push_back(pane.list().recordAt(row));
    EXPECT_EQ(again, reversed);
    EXPECT_EQ(shownRows(pane), before);
    EXPECT_TRUE(heightsFollowTheList(pane));

    // The one column of the artwork list flips at once.
    ListPane &artworks = show(*document->artworkListController());
    const QString first = artworks.list().cell(0, 0).mainText;
    // The selection follows its record to its new row, so Delete takes what the user chose.
    clickRow(artworks, 0);
    Record *const chosen = artworks.list().recordAt(0);
    clickHeading(artworks, 0);
    EXPECT_EQ(artworks.tableView()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_NE(artworks.list().cell(0, 0).mainText, first);
    ASSERT_EQ(artworks.selectedRecords().size(), 1);
    EXPECT_EQ(artworks.selectedRecords().front(), chosen);
    EXPECT_TRUE(heightsFollowTheList(artworks));
}

TEST_F(ListJourney, DeletingAsksInTheSingularOrPluralAndTakesTheSubmissionsAlong)
{
    openCatalogue();
    ListPane &pane = show(*document->artworkListController());
    // Two artworks that have submissions.
    std::vector<int> rows;
    for (int row = 0; row < pane.list().rowCount() && rows.size() < 2; ++row) {
        if (!static_cast<Artwork *>(pane.list().recordAt(row))->submissions().empty())
            rows.push_back(row);
    }
    ASSERT_EQ(rows.size(), 2u);
    const QStringList titles = {pane.list().cell(rows[0], 0).mainText, pane.list().cell(rows[1], 0).mainText};

    clickRow(pane, rows[0]);
    user.answers = {QStringLiteral("Cancel")};
    QTest::keyClick(pane.tableView(), Qt::Key_Delete);
    ASSERT_EQ(user.questions.size(), 1u);
    EXPECT_EQ(user.questions[0].title, QStringLiteral("WARNING"));
    EXPECT_EQ(user.questions[0].text,
              QStringLiteral("Deleting this artwork will also delete all of its submissions"));
    EXPECT_EQ(user.questions[0].buttons[size_t(user.questions[0].defaultButton)].text,
              QStringLiteral("Cancel"));
    EXPECT_EQ(pane.shownCount(), 12);

    clickRow(pane, rows[1], Qt::ControlModifier);
    ASSERT_EQ(pane.selectedRecords().size(), 2);
    user.answers = {QStringLiteral("Delete")};
    QSignalSpy counts(&pane, &ListPane::rowCountsChanged);
    QTest::keyClick(pane.tableView(), Qt::Key_Delete);
    ASSERT_EQ(user.questions.size(), 2u);
    EXPECT_EQ(user.questions[1].text,
              QStringLiteral("Deleting these artworks will also delete all their associated submissions"));
    EXPECT_TRUE(user.alerts.empty()) << user.transcript().toStdString();
    ASSERT_TRUE(counts.wait());
    EXPECT_EQ(counts.last().at(0).toInt(), 10);
    EXPECT_EQ(counts.last().at(1).toInt(), 10);
    EXPECT_TRUE(pane.selectedRecords().isEmpty());
    EXPECT_TRUE(heightsFollowTheList(pane));
    closeCatalogue();
    // Their submissions go along: the document's rule, proven in tests/document.
    const QString artworks = cliOutput({QStringLiteral("list"), QStringLiteral("artworks"), package});
    for (const QString &title : titles)
        EXPECT_FALSE(artworks.contains(title)) << title.toStdString();
}

TEST_F(ListJourney, RowsLeavingASearchTogetherGoInOneRunAndTheViewKeepsStep)
{
    openCatalogue();
    SubmissionListController &list = *document->submissionListController();
    ListPane &pane = show(list);
    const QString searched = QStringLiteral("Orchard");
    list.handleSearch(searched);
    Artwork *renamed = nullptr;
    for (const auto &artwork : document->artworks()) {
        if (!renamed || artwork->submissions().size() > renamed->submissions().size())
            renamed = artwork.get();
    }
    ASSERT_TRUE(renamed->title().contains(searched));
    const qsizetype leaving = static_cast<qsizetype>(renamed->submissions().size());
    const qsizetype before = list.rowCount();
    ASSERT_GE(leaving, 3);
    ASSERT_GT(before, leaving) << "a row stays, with its band";

    // Renamed while the search is on: its submissions no longer match and leave together.
    QSignalSpy removals(pane.tableView()->model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy resets(pane.tableView()->model(), &QAbstractItemModel::modelReset);
    renamed->setTitle(QStringLiteral("Quiet Barn"));
    document->updateArtwork(renamed);
    ASSERT_EQ(removals.size(), 1);
    EXPECT_EQ(removals[0].at(2).toInt() - removals[0].at(1).toInt() + 1, leaving);
    EXPECT_TRUE(resets.isEmpty()) << "a rename is no rebuild";
    EXPECT_EQ(list.rowCount(), before - leaving);
    EXPECT_EQ(pane.tableView()->verticalHeader()->count(), list.rowCount());
    EXPECT_TRUE(heightsFollowTheList(pane));
    const QStringList shown = shownRows(pane);
    for (const QString &row : shown)
        EXPECT_FALSE(row.contains(QStringLiteral("Quiet Barn"))) << row.toStdString();

    // The same search made afresh shows what the view shows now.
    list.handleSearch(searched);
    EXPECT_EQ(shownRows(pane), shown);
}

TEST_F(ListJourney, ContactCardsDroppedOnTheClientListBecomeClients)
{
    const QString cards = folder.filePath(QStringLiteral("people.vcf"));
    {
        QFile file(cards);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novak;Bea;;;\r\nFN:Bea Novak\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ivo Stern\r\nORG:Stern Contemporary\r\nEND:VCARD\r\n");
    }
    const QString empty = folder.filePath(QStringLiteral("nobody.vcf"));
    {
        QFile file(empty);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("no cards here\n");
    }
    openCatalogue();
    ListPane &pane = show(*document->clientListController());
    QWidget *target = pane.tableView()->viewport();
    auto dropOn = [&](const QString &path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        return dropOnto(target, target->rect().center(), data) != Qt::IgnoreAction;
    };

    EXPECT_FALSE(dropOn(folder.filePath(QStringLiteral("Other.vdb"))));
    EXPECT_FALSE(dropOn(empty));
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_EQ(user.alerts[0].text,
              QStringLiteral("A problem occurred while adding contacts to the Client list."));
    EXPECT_EQ(pane.shownCount(), 6);

    EXPECT_TRUE(dropOn(cards));
    EXPECT_EQ(user.alerts.size(), 1u) << user.transcript().toStdString();
    QStringList companies;
    for (int row = 0; row < pane.list().rowCount(); ++row)
        companies << pane.list().cell(row, 0).mainText;
    EXPECT_TRUE(companies.contains(QStringLiteral("Bea Novak")));
    EXPECT_TRUE(companies.contains(QStringLiteral("Stern Contemporary")));
    EXPECT_TRUE(heightsFollowTheList(pane));
}

TEST_F(ListJourney, TheFloatingBandFollowsScrollingAndIsPushedByTheNext)
{
    openCatalogue();
    ListPane &pane = show(*document->artworkListController(), QSize(700, 400));
    QTableView *table = pane.tableView();
    auto *band = table->viewport()->findChild<gui::VLHeadingView *>();
    ASSERT_TRUE(band);
    EXPECT_FALSE(band->isVisible());
    // The second section: scrolled to 10 pixels below its band's top, then to its band 10 pixels
    // below the top of the list.
    int second = 1;
    while (second < pane.list().rowCount() && !pane.list().isSectionHeading(second))
        ++second;
    ASSERT_LT(second, pane.list().rowCount());
    const int secondTop = table->rowViewportPosition(second) + table->verticalScrollBar()->value();
    const QString firstTitle = pane.list().cell(0, 0).sectionHeading;
    const QString secondTitle = pane.list().cell(second, 0).sectionHeading;

    table->verticalScrollBar()->setValue(secondTop + 10);
    EXPECT_TRUE(band->isVisible());
    EXPECT_EQ(band->headerString(), secondTitle);
    EXPECT_EQ(band->y(), 0);

    table->verticalScrollBar()->setValue(secondTop - 10);
    EXPECT_EQ(band->headerString(), firstTitle);
    EXPECT_EQ(band->y(), 10 - qRound(kSectionBandHeight));

    table->verticalScrollBar()->setValue(0);
    EXPECT_FALSE(band->isVisible());
    // Without sections nothing floats.
    getPreferences().setSortArtworksByArtist(false);
    document->refreshData();
    table->verticalScrollBar()->setValue(secondTop + 10);
    EXPECT_FALSE(band->isVisible());
    EXPECT_TRUE(heightsFollowTheList(pane));
}

TEST_F(ListJourney, TypingJumpsToARowAndScreenReadersHearTheCells)
{
    openCatalogue();
    ListPane &pane = show(*document->submissionListController());
    QTableView *table = pane.tableView();
    table->setFocus();
    // The last row's title, typed: the first row after the current one that starts with it.
    const int last = static_cast<int>(pane.list().rowCount()) - 1;
    const QString title = pane.list().cell(last, 0).mainText;
    int expected = 0;
    while (!pane.list().cell(expected, 0).mainText.startsWith(title.left(4), Qt::CaseInsensitive))
        ++expected;
    clickRow(pane, last, {});
    table->selectionModel()->setCurrentIndex(table->model()->index(last, 1), QItemSelectionModel::NoUpdate);
    QTest::keyClicks(table, title.left(4).toLower());
    EXPECT_EQ(table->currentIndex().row(), expected);

    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(table);
    ASSERT_TRUE(list && list->tableInterface());
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Submissions"));
    const CellContent cell = pane.list().cell(0, 0);
    const QString spoken = list->tableInterface()->cellAt(0, 0)->text(QAccessible::Name);
    EXPECT_TRUE(spoken.startsWith(cell.sectionHeading + QStringLiteral(", ") + cell.mainText))
        << spoken.toStdString();
    EXPECT_TRUE(spoken.contains(cell.moreSubText)) << spoken.toStdString();
    int overdue = 0;
    for (int row = 0; row <= last; ++row) {
        const bool marked = list->tableInterface()
                                ->cellAt(row, 1)
                                ->text(QAccessible::Name)
                                .endsWith(QStringLiteral(", Overdue"));
        EXPECT_EQ(marked, !pane.list().cell(row, 1).backgroundImage.isEmpty()) << row;
        overdue += marked ? 1 : 0;
    }
    EXPECT_EQ(overdue, 1);
}

TEST_F(ListJourney, CellsDrawBandsHighlightsSelectionAndPhotoCaptions)
{
    openCatalogue();
    ListPane &pane = show(*document->submissionListController(), QSize(900, 2000));
    QTableView *table = pane.tableView();
    const QPalette palette = table->palette();
    auto pixel = [&](int row, int x, int dy) {
        const QImage shot = table->viewport()->grab().toImage();
        return shot.pixelColor(x, table->rowViewportPosition(row) + dy);
    };
    int overdue = -1;
    int plain = -1;
    for (int row = 0; row < pane.list().rowCount(); ++row) {
        const bool marked = !pane.list().cell(row, 0).backgroundImage.isEmpty();
        if (marked && overdue < 0)
            overdue = row;
        if (!marked && !pane.list().isSectionHeading(row) && plain < 0)
            plain = row;
    }
    ASSERT_GE(overdue, 0);
    ASSERT_GE(plain, 0);
    const int rightEdge = table->viewport()->width() - 4;
    // The band across the top of the first row, the normal background below it.
    EXPECT_NE(pixel(0, rightEdge, 10), palette.color(QPalette::Base));
    EXPECT_EQ(pixel(plain, rightEdge, 40), palette.color(QPalette::Base));
    const QColor tinted = pixel(overdue, rightEdge, table->rowHeight(overdue) - 10);
    EXPECT_GT(tinted.red() - tinted.blue(), 10);
    table->selectRow(overdue);
    EXPECT_EQ(pixel(overdue, rightEdge, table->rowHeight(overdue) - 10), palette.color(QPalette::Highlight));

    // The photo's caption over the photo; nothing beside it.
    int withPhoto = 0;
    while (!pane.list().cell(withPhoto, 0).image)
        ++withPhoto;
    Image *image = pane.list().cell(withPhoto, 0).image;
    image->hydrate_caption();
    const QRect cell = table->visualRect(table->model()->index(withPhoto, 0));
    const QRect photo(cell.left() + 10, cell.bottom() + 1 - 80 + 13, 54, 54);
    EXPECT_NE(pixel(withPhoto, photo.center().x(), photo.center().y() - cell.top()),
              palette.color(QPalette::Base));
    auto tip = [&](QPoint at) {
        QHelpEvent help(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    ASSERT_FALSE(image->caption().isEmpty());
    EXPECT_EQ(tip(photo.center()), image->caption());
    tip(photo.center() + QPoint(200, 0));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

} // namespace

} // namespace velumark::test
