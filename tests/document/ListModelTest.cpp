// Each list drives a real item model, as the window's models do, checked by Qt's own model
// tester: the model knows the rows only from the list's notices, so its copy must equal the list
// after every notice, and no row may be read once its record is going.
#include "DocumentFixture.h"
#include "document/CatalogueLoader.h"
#include "document/ClientListController.h"
#include "document/SubmissionListController.h"
#include "store/AppPreferences.h"
#include "store/DatabaseError.h"
#include "support/Succeeded.h"

#include <QAbstractItemModelTester>
#include <QAbstractTableModel>
#include <QFile>
#include <QSignalSpy>
#include <QSize>

using namespace velumark;

namespace {

// A table model over one list that keeps its own copy of the rows and, like a view, what each row
// showed when it was last announced, both from the notices alone; it reads every cell of every
// row on every notice.
class ListModel : public QAbstractTableModel
{
public:
    ListModel(RecordList &list, VelumarkDatabase &document) : m_list(list)
    {
        m_copy = test::shown<Record>(list);
        seeAll();
        connect(&list, &RecordList::rowsAboutToBeInserted, this, [this](int first, int last) {
            readAll();
            beginInsertRows({}, first, last);
        });
        connect(&list, &RecordList::rowsInserted, this, [this](int first, int last) {
            for (int row = first; row <= last; ++row) {
                m_copy.insert(m_copy.begin() + row, m_list.recordAt(row));
                m_seen.insert(m_seen.begin() + row, shownText(row));
            }
            endInsertRows();
            check();
        });
        connect(&list, &RecordList::rowsAboutToBeRemoved, this, [this](int first, int last) {
            readAll();
            beginRemoveRows({}, first, last);
        });
        connect(&list, &RecordList::rowsRemoved, this, [this](int first, int last) {
            m_copy.erase(m_copy.begin() + first, m_copy.begin() + last + 1);
            m_seen.erase(m_seen.begin() + first, m_seen.begin() + last + 1);
            endRemoveRows();
            check();
        });
        connect(&list, &RecordList::rowChanged, this, [this](int row) {
            ++changed;
            m_seen[static_cast<size_t>(row)] = shownText(row);
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            check();
        });
        connect(&list, &RecordList::orderAboutToChange, this, [this] {
            readAll();
            emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
            m_persistent = persistentIndexList();
            m_persistentRecords.clear();
            for (const QModelIndex &index : m_persistent)
                m_persistentRecords.push_back(m_copy[static_cast<size_t>(index.row())]);
        });
        connect(&list, &RecordList::orderChanged, this, [this] {
            QModelIndexList moved;
            for (size_t i = 0; i < m_persistentRecords.size(); ++i)
                moved << index(static_cast<int>(m_list.rowOf(m_persistentRecords[i])),
                               m_persistent[static_cast<int>(i)].column());
            changePersistentIndexList(m_persistent, moved);
            m_copy = test::shown<Record>(m_list);
            seeAll();
            ++reordered;
            emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
            check();
        });
        connect(&list, &RecordList::listAboutToBeRebuilt, this, [this] {
            readAll();
            beginResetModel();
        });
        connect(&list, &RecordList::listRebuilt, this, [this] {
            m_copy = test::shown<Record>(m_list);
            seeAll();
            endResetModel();
            check();
        });
        // Connected after the lists: by now no list may show the record.
        connect(document.notifier(), &DocumentNotifier::recordAboutToBeRemoved, this,
                [this](DocumentNotifier::Kind, Record *record) {
                    if (m_list.rowOf(record) >= 0 || std::count(m_copy.begin(), m_copy.end(), record))
                        faults << QStringLiteral("a removed record is still shown");
                });
        m_tester = std::make_unique<QAbstractItemModelTester>(
            this, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_list.rowCount());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_list.columnCount();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const CellContent cell = m_list.cell(index.row(), index.column());
        if (role == Qt::DisplayRole)
            return cell.mainText;
        if (role == Qt::SizeHintRole)
            return QSize(200, static_cast<int>(m_list.rowHeight(index.row())));
        return {};
    }

    // The rows as the model knows them, in the list's words.
    QString rowsText() const
    {
        QStringList rows;
        for (int row = 0; row < rowCount(); ++row) {
            const CellContent cell = m_list.cell(row, 0);
            rows << (cell.isSectionHeading ? cell.sectionHeading + QLatin1Char('/') : QString()) +
                        cell.mainText;
        }
        return rows.join(QLatin1Char(','));
    }

    // Once an operation is over, every row shows what the list holds: no notice was missing.
    QStringList staleRows() const
    {
        QStringList stale;
        for (int row = 0; row < rowCount(); ++row) {
            if (m_seen[static_cast<size_t>(row)] != shownText(row))
                stale << m_seen[static_cast<size_t>(row)] + QStringLiteral(" -> ") + shownText(row);
        }
        return stale;
    }

    QStringList faults;
    int changed = 0;
    int reordered = 0;

private:
    QString shownText(int row) const
    {
        QStringList texts{QString::number(m_list.rowHeight(row))};
        for (int column = 0; column < columnCount(); ++column) {
            const CellContent cell = m_list.cell(row, column);
            texts << cell.sectionHeading << cell.mainText << cell.subText << cell.moreSubText
                  << cell.last1SubText << cell.statusImage << cell.backgroundImage;
        }
        return texts.join(QLatin1Char('|'));
    }
    void seeAll()
    {
        m_seen.clear();
        for (int row = 0; row < rowCount(); ++row)
            m_seen.push_back(shownText(row));
    }
    // What a view does on a notice: read every row (a freed record would be read here).
    void readAll()
    {
        for (int row = 0; row < rowCount(); ++row) {
            for (int column = 0; column < columnCount(); ++column)
                m_list.cell(row, column);
        }
    }
    void check()
    {
        readAll();
        if (m_copy != test::shown<Record>(m_list))
            faults << QStringLiteral("the model's rows differ from the list's");
    }

    RecordList &m_list;
    std::vector<Record *> m_copy;
    std::vector<QString> m_seen;
    QModelIndexList m_persistent;
    std::vector<Record *> m_persistentRecords;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

class ListModels : public test::DocumentFixture
{
protected:
    void SetUp() override
    {
        test::DocumentFixture::SetUp();
        getPreferences().setSortArtworksByArtist(true);
        Clock::setFixedNow(local(2024, 6, 1));
    }
    void TearDown() override
    {
        getPreferences().setSortArtworksByArtist(false);
        test::DocumentFixture::TearDown();
    }

    // Whether each main list shows exactly the records of its rule, in the document's order.
    void expectMainListsFollowTheirRules()
    {
        expectFollowsRule(*document->artworkListController(), document->artworks());
        expectFollowsRule(*document->clientListController(), document->clients());
        expectFollowsRule(*document->submissionListController(), document->submissions());
    }
    template <typename Controller, typename Records>
    static void expectFollowsRule(const Controller &list, const Records &records)
    {
        using T = typename Records::value_type::element_type;
        std::vector<T *> expected;
        for (const auto &record : records)
            if (Controller::matches(*record, list.searchText()))
                expected.push_back(record.get());
        EXPECT_EQ(test::shown<T>(list), expected);
    }
};

QStringList faultsOf(std::initializer_list<const ListModel *> models)
{
    QStringList faults;
    for (const ListModel *model : models)
        faults << model->faults << model->staleRows();
    return faults;
}

} // namespace

TEST_F(ListModels, EveryListFollowsAddsEditsSortsSearchesRemovalsAndAReload)
{
    Artwork *harbour = addArtwork(QStringLiteral("Harbour"), QStringLiteral("Ann"));
    Client *north = addClient(QStringLiteral("Gallery North"));
    SubmissionListController history(*document);
    history.setHistory(harbour, nullptr);
    ListModel artworks(*document->artworkListController(), *document);
    ListModel clients(*document->clientListController(), *document);
    ListModel submissions(*document->submissionListController(), *document);
    ListModel harbourHistory(history, *document);
    auto allFaults = [&] {
        return faultsOf({&artworks, &clients, &submissions, &harbourHistory});
    };

    // Adds land at their place, with the bands they start.
    Artwork *dunes = addArtwork(QStringLiteral("Dunes"), QStringLiteral("Bob"));
    addArtwork(QStringLiteral("Zephyr"), QStringLiteral("Ann"));
    Client *south = addClient(QStringLiteral("Atelier South"));
    Submission *old = addSubmission(harbour, north, local(2020, 12, 5));
    addSubmission(dunes, south, local(2021, 3, 3));
    Submission *recent = addSubmission(harbour, south, local(2021, 1, 1));
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Ann/Harbour,Zephyr,Bob/Dunes"));
    EXPECT_EQ(clients.rowsText(), QStringLiteral("Atelier South,Gallery North"));
    EXPECT_EQ(submissions.rowsText(), QStringLiteral("2021/Dunes,Harbour,2020/Harbour"));
    EXPECT_EQ(harbourHistory.rowsText(), QStringLiteral("2021/Atelier South,2020/Gallery North"));
    EXPECT_EQ(allFaults(), QStringList());

    // An edit that moves nothing: one row-changed notice for its row, nothing else.
    const int before = artworks.changed;
    dunes->setMedium(QStringLiteral("Oil"));
    document->updateArtwork(dunes);
    EXPECT_EQ(artworks.changed - before, 1);
    EXPECT_EQ(artworks.reordered, 0);
    // An edit that moves its record re-sorts; a new artist takes the band with it.
    dunes->setArtist(QStringLiteral("Abe"));
    document->updateArtwork(dunes);
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Abe/Dunes,Ann/Harbour,Zephyr"));
    EXPECT_EQ(artworks.reordered, 1);
    // A submission that moves between years changes the bands of its neighbours.
    recent->setSendDate(local(2020, 11, 1));
    document->updateSubmission(recent);
    EXPECT_EQ(submissions.rowsText(), QStringLiteral("2021/Dunes,2020/Harbour,Harbour"));
    EXPECT_EQ(harbourHistory.rowsText(), QStringLiteral("2020/Gallery North,Atelier South"));
    // A renamed client is shown anew wherever its company is.
    south->setCompany(QStringLiteral("Zed South"));
    document->updateClient(south);
    EXPECT_EQ(clients.rowsText(), QStringLiteral("Gallery North,Zed South"));
    expectMainListsFollowTheirRules();
    EXPECT_EQ(allFaults(), QStringList());

    // Sorts: the list's own direction, announced as a re-sort.
    document->artworkListController()->sortByColumn(0);
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Ann/Zephyr,Harbour,Abe/Dunes"))
        << "the whole order reversed, a band on the first row of each artist";
    document->artworkListController()->sortByColumn(0);
    document->clientListController()->sortByColumn(1);
    EXPECT_EQ(document->clientListController()->sortColumn(), 1);
    EXPECT_TRUE(document->clientListController()->isSortAscending()) << "another column keeps the direction";
    EXPECT_EQ(allFaults(), QStringList());

    // A search rebuilds; edits then keep the rows to the records that match.
    document->setCurrentList(VelumarkDatabase::ListKind::Artworks);
    document->handleSearch(QStringLiteral("an"));
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Ann/Harbour,Zephyr"));
    Artwork *anchor = addArtwork(QStringLiteral("Anchor"), QStringLiteral("Cy"));
    harbour->setArtist(QStringLiteral("Dora"));
    document->updateArtwork(harbour);
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Ann/Zephyr,Cy/Anchor"));
    document->setCurrentList(VelumarkDatabase::ListKind::Submissions);
    EXPECT_EQ(submissions.rowsText(), QStringLiteral("")) << "the search text applies to the list shown";
    document->handleSearch(QStringLiteral("2020"));
    EXPECT_EQ(submissions.rowsText(), QStringLiteral("2020/Harbour,Harbour"));
    expectMainListsFollowTheirRules();
    EXPECT_EQ(allFaults(), QStringList());

    // Removals, with cascades: rows go before their records.
    document->removeSubmission(old);
    document->removeArtwork(anchor);
    document->removeClient(south);
    EXPECT_EQ(harbourHistory.rowsText(), QString()) << "both of Harbour's submissions are gone";
    document->handleSearch(QString());
    expectMainListsFollowTheirRules();
    EXPECT_EQ(allFaults(), QStringList()) << "the artworks and clients of removed submissions are shown anew";
    document->removeArtwork(harbour);
    EXPECT_EQ(history.artworkForHistory(), nullptr);
    EXPECT_TRUE(history.historyScreen());

    // A reload rebuilds every list from the new records.
    history.setHistory(dunes, nullptr);
    ASSERT_TRUE(succeeded(document->saveChanges()));
    const QString staged = QDir(packagePath).filePath(QStringLiteral("staged.db"));
    ASSERT_TRUE(QFile::copy(document->dbFilename(), staged));
    CatalogueLoader::Settings settings;
    settings.databasePath = staged;
    settings.packagePath = packagePath;
    settings.writeRefusal = QStringLiteral("read as staged");
    settings.order = document->listOrder();
    Result<CatalogueLoad> loaded = CatalogueLoader(std::move(settings)).load();
    ASSERT_TRUE(succeeded(loaded));
    ASSERT_TRUE(succeeded(document->replaceDatabaseFile(staged, std::move(loaded).value())));
    EXPECT_EQ(artworks.rowsText(), QStringLiteral("Ann/Zephyr")) << "the artwork list still searches \"an\"";
    EXPECT_EQ(harbourHistory.rowsText(), QString()) << "a history lets go of its record on a reload";
    EXPECT_EQ(history.artworkForHistory(), nullptr);
    expectMainListsFollowTheirRules();
    EXPECT_EQ(allFaults(), QStringList());
}

TEST_F(ListModels, AHistoryAndTheMainListKeepTheirOwnBandsAndOrder)
{
    Artwork *harbour = addArtwork(QStringLiteral("Harbour"));
    Artwork *dunes = addArtwork(QStringLiteral("Dunes"));
    Client *north = addClient(QStringLiteral("North"));
    addSubmission(harbour, north, local(2021, 5, 1));
    Submission *dunes2021 = addSubmission(dunes, north, local(2021, 2, 1));
    addSubmission(dunes, north, local(2019, 2, 1));
    SubmissionListController history(*document);
    history.setHistory(dunes, nullptr);
    ListModel main(*document->submissionListController(), *document);
    ListModel dunesHistory(history, *document);
    // The 2021 submission of Dunes starts a band in its history but not in the main list.
    EXPECT_EQ(main.rowsText(), QStringLiteral("2021/Harbour,Dunes,2019/Dunes"));
    EXPECT_EQ(dunesHistory.rowsText(), QStringLiteral("2021/North,2019/North"));
    EXPECT_FALSE(document->submissionListController()->isSectionHeading(1));
    EXPECT_EQ(history.rowOf(dunes2021), 0);
    EXPECT_TRUE(history.isSectionHeading(0));

    // Sorting the history leaves the main list alone, and the other way round.
    history.sortByColumn(0);
    EXPECT_EQ(dunesHistory.rowsText(), QStringLiteral("2019/North,2021/North"));
    EXPECT_EQ(main.rowsText(), QStringLiteral("2021/Harbour,Dunes,2019/Dunes"));
    document->submissionListController()->sortByColumn(0);
    EXPECT_EQ(main.rowsText(), QStringLiteral("2019/Dunes,2021/Dunes,Harbour"));
    EXPECT_EQ(dunesHistory.rowsText(), QStringLiteral("2019/North,2021/North"));
    // A new submission of Dunes joins the history in the history's order.
    addSubmission(dunes, north, local(2020, 1, 1));
    EXPECT_EQ(dunesHistory.rowsText(), QStringLiteral("2019/North,2020/North,2021/North"));
    // One moved to another artwork, as the editor does it, leaves this history.
    dunes->removeSubmission(dunes2021);
    dunes2021->setArtwork(harbour);
    dunes2021->setArtworkKey(harbour->primaryKey());
    harbour->addSubmission(dunes2021);
    document->updateSubmission(dunes2021);
    EXPECT_EQ(dunesHistory.rowsText(), QStringLiteral("2019/North,2020/North"));
    EXPECT_EQ(faultsOf({&main, &dunesHistory}), QStringList());
}

TEST_F(ListModels, EditsAreRefusedWhileAnOperationHoldsTheDocument)
{
    Artwork *harbour = addArtwork(QStringLiteral("Harbour"));
    QSignalSpy started(document->notifier(), &DocumentNotifier::operationStarted);
    QSignalSpy ended(document->notifier(), &DocumentNotifier::operationEnded);
    Result<OperationClaim> claim = document->beginOperation();
    ASSERT_TRUE(succeeded(claim));
    EXPECT_FALSE(document->beginOperation()) << "one operation at a time";
    auto refused = [](auto edit) {
        try {
            edit();
        } catch (const DatabaseError &failure) {
            return failure.message().contains(QStringLiteral("import, export or transfer"));
        }
        return false;
    };
    EXPECT_TRUE(refused([&] { addClient(QStringLiteral("North")); }));
    EXPECT_TRUE(refused([&] { document->updateArtwork(harbour); }));
    EXPECT_TRUE(refused([&] { document->removeArtwork(harbour); }));
    EXPECT_TRUE(document->checkEditable().message().contains(QStringLiteral("import, export or transfer")));
    EXPECT_EQ(count("client") + count("artwork") + document->artworkListController()->rowCount(), 2)
        << "nothing was written or shown";
    claim->release();
    EXPECT_EQ(started.count() + ended.count(), 2);
    EXPECT_TRUE(document->checkEditable().ok());
    document->removeArtwork(harbour);
    EXPECT_EQ(count("artwork"), 0);
}
