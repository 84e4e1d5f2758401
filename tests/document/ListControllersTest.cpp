#include "DocumentFixture.h"
#include "document/ArtworkListController.h"
#include "document/CatalogueStatistics.h"
#include "document/ClientListController.h"
#include "document/SubmissionListController.h"
#include "store/AppPreferences.h"

#include <QLocale>

using namespace velumark;
using ListControllers = test::DocumentFixture;

namespace {
struct SortByArtist
{
    explicit SortByArtist(bool on) { getPreferences().setSortArtworksByArtist(on); }
    ~SortByArtist() { getPreferences().setSortArtworksByArtist(false); }
};
} // namespace

TEST_F(ListControllers, ArtworkSearchMatchesWhatTheRowShowsAndArtistSections)
{
    Artwork *sized = addArtwork(QStringLiteral("Harbour"), QStringLiteral("Ann"));
    sized->setSize(QStringLiteral("40 x 50 cm"));
    Artwork *dated = addArtwork(QStringLiteral("Dunes"), QStringLiteral("Bob"));
    dated->setCreationDate(local(2020, 7, 4));
    Artwork *plain = addArtwork(QStringLiteral("Quiet"));
    plain->setMedium(QStringLiteral("Pen and Ink"));
    addArtwork(QStringLiteral("Zephyr"), QStringLiteral("Ann"));
    Client *client = addClient(QStringLiteral("Gallery North"));
    addSubmission(plain, client, local(2021, 1, 1));
    ArtworkListController *list = document->artworkListController();

    document->setCurrentList(VelumarkDatabase::ListKind::Artworks);
    QStringList found;
    for (const char *text : {"size", "CREATED", "jul 4", "north", "ink", ""}) {
        document->handleSearch(QString::fromUtf8(text));
        found << shownTitles();
    }
    EXPECT_EQ(found.join(QLatin1Char('|')),
              QStringLiteral("Harbour|Dunes|Dunes|Quiet|Quiet|Dunes,Harbour,Quiet,Zephyr"));

    const CellContent cell = list->cell(0);
    EXPECT_EQ(cell.mainText, QStringLiteral("Dunes"));
    EXPECT_EQ(cell.subExtraColumn, QStringLiteral("Created: Jul 4, 2020"));
    EXPECT_TRUE(cell.mainExtraColumn.isNull());
    EXPECT_EQ(list->cell(1).mainExtraColumn, QStringLiteral("Size: 40 x 50 cm"));
    EXPECT_EQ(list->cell(2).last1SubText, QStringLiteral("Gallery North"));
    EXPECT_EQ(list->cell(2).statusImage, QStringLiteral("questionmark_icon"));

    // Sections by artist when the preference asks for them.
    // The open document follows the preference at once.
    const SortByArtist on(true);
    auto headings = [&] {
        QStringList rows;
        for (qsizetype row = 0; row < list->rowCount(); ++row)
            rows << list->cell(row).sectionHeading + QString::number(list->rowHeight(row));
        return rows.join(QLatin1Char(','));
    };
    // Artworks without artist sort first under the artist order.
    EXPECT_EQ(headings(), QStringLiteral("#143,Ann143,120,Bob143"));
    getPreferences().setSortArtworksByArtist(false);
    EXPECT_EQ(headings(), QStringLiteral("120,120,120,120"));
}

TEST_F(ListControllers, SubmissionYearSectionsAndSearch)
{
    Clock::setFixedNow(local(2021, 6, 1));
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    Client *client = addClient(QStringLiteral("Gallery North"));
    addSubmission(artwork, client, local(2021, 3, 3));
    addSubmission(artwork, client, local(2020, 12, 5));
    Submission *answered = addSubmission(nullptr, client, local(2021, 1, 1));
    answered->setResponseReceived(1);
    answered->setResponseDate(local(2021, 2, 1));
    document->setCurrentList(VelumarkDatabase::ListKind::Submissions);
    document->handleSearch(QString());
    SubmissionListController *list = document->submissionListController();
    ASSERT_EQ(list->rowCount(), 3);
    QStringList rows;
    for (qsizetype row = 0; row < 3; ++row)
        rows << list->cell(row, 0).sectionHeading + QLatin1Char(':') + QString::number(list->rowHeight(row));
    EXPECT_EQ(rows.join(QLatin1Char(',')), QStringLiteral("2021:103,:80,2020:103"));
    EXPECT_EQ(list->cell(0, 1).mainText, QStringLiteral("Waiting"));
    EXPECT_EQ(list->cell(0, 0).subText, QStringLiteral("Gallery North"));
    document->handleSearch(QStringLiteral("Feb 1"));
    EXPECT_EQ(list->rowCount(), 1) << "the date line is searched too";

    SubmissionListController history(*document);
    history.setHistory(nullptr, client);
    history.refreshData();
    ASSERT_EQ(history.rowCount(), 3) << "a history is never filtered";
    EXPECT_EQ(history.cell(0, 0).mainText, QStringLiteral("Harbour"));
    EXPECT_EQ(history.cell(0, 0).subText, history.submissionAt(0)->moreSubText());
    history.setHistory(artwork, nullptr);
    EXPECT_EQ(history.rowCount(), 2);
    EXPECT_EQ(history.cell(0, 0).mainText, QStringLiteral("Gallery North"));
}

TEST_F(ListControllers, ClientsHighlightNearDeadlinesAndSearchStatus)
{
    Clock::setFixedNow(local(2024, 1, 10));
    Client *soon = addClient(QStringLiteral("Fair Soon"));
    soon->setDeadline(local(2024, 1, 14));
    Client *later = addClient(QStringLiteral("Museum Later"));
    later->setDeadline(local(2024, 3, 1));
    Client *closed = addClient(QStringLiteral("Closed Shop"));
    closed->setStatus(false);
    document->setCurrentList(VelumarkDatabase::ListKind::Clients);
    document->handleSearch(QString());
    ClientListController *list = document->clientListController();
    QStringList rows;
    for (qsizetype row = 0; row < list->rowCount(); ++row)
        rows << list->cell(row, 0).mainText + QLatin1Char('/') + list->cell(row, 1).mainText +
                    QLatin1Char('/') + list->cell(row, 0).backgroundImage +
                    list->cell(row, 1).backgroundImage;
    EXPECT_EQ(rows.join(QLatin1Char(',')),
              QStringLiteral("Closed Shop/Closed/,Fair Soon/Open/overdue_cell_background"
                             "overdue_cell_background,Museum Later/Open/"));
    document->handleSearch(QStringLiteral("closed"));
    EXPECT_EQ(list->rowCount(), 1);
}

TEST_F(ListControllers, StatisticsCountWhatTheWindowShows)
{
    Artwork *a = addArtwork(QStringLiteral("A"));
    addArtwork(QStringLiteral("B"))->setSale_loan(false);
    Client *c = addClient(QStringLiteral("C"));
    // Response, state and income of each submission.
    for (const auto &[response, state, income] :
         {std::tuple(1, 1, 100.5), {1, 2, 20.0}, {2, 0, 70.0}, {0, 0, 50.0}, {1, 0, 0.0}, {5, 0, 10.0}}) {
        Submission *s = addSubmission(a, c, local(2022, 1, 1));
        s->setResponseReceived(response);
        s->setSubmissionState(state);
        s->setIncome(income);
    }
    const CatalogueStatistics f = CatalogueStatistics::of(*document);
    // Availability is re-filed only by updateArtwork.
    EXPECT_EQ((std::vector<quint64>{f.artworks, f.neverSubmitted, f.forSaleOrLoan, f.submissions, f.sales,
                                    f.publications, f.withdrawn, f.awaitingResponse, f.returned}),
              (std::vector<quint64>{2, 1, 2, 6, 2, 1, 1, 1, 1}));
    EXPECT_DOUBLE_EQ(f.income, 120.5);

    // The lines the window and the command line show: labels in order, the income in the
    // locale's number format.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const auto lines = f.lines();
    QLocale::setDefault(before);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[3].label, QStringLiteral("Never Submitted:"));
    EXPECT_EQ(lines[3].figure, QStringLiteral("1"));
    EXPECT_TRUE(lines[3].startsGroup && !lines[4].startsGroup);
    EXPECT_EQ(lines[11].label + lines[11].figure, QStringLiteral("Income:120,50"));
}
