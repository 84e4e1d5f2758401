// The submission list searches and orders with texts and keys that the records keep: the rows
// found and their order must be those of the list's own rules, also after edits, on another day
// and in another locale.
#include "DocumentFixture.h"
#include "document/DemoCatalogue.h"
#include "document/SubmissionListController.h"
#include "store/DateFormatting.h"
#include "support/Succeeded.h"
#include "support/TestEnvironment.h"

using namespace velumark;
using KeptTextsList = test::DocumentFixture;

namespace {

std::vector<Submission *> searched(VelumarkDatabase &document, const QString &text)
{
    document.setCurrentList(VelumarkDatabase::ListKind::Submissions);
    document.handleSearch(text);
    return test::shown<Submission>(*document.submissionListController());
}

// What the list's rule gives, row by row.
std::vector<Submission *> expected(VelumarkDatabase &document, const QString &text)
{
    std::vector<Submission *> rows;
    for (const auto &submission : document.submissions())
        if (SubmissionListController::matches(*submission, text))
            rows.push_back(submission.get());
    return rows;
}

// How many rows each of the texts (separated by "|") finds, one digit per text.
std::string hits(VelumarkDatabase &document, const char *texts)
{
    std::string counts;
    for (const QString &text : QString::fromUtf8(texts).split(QLatin1Char('|')))
        counts += std::to_string(searched(document, text).size());
    return counts;
}

void fillSample(VelumarkDatabase &document)
{
    DemoCatalogue::Options options;
    options.artworks = 40;
    options.clients = 15;
    options.submissions = 300;
    options.photos = 0;
    ASSERT_TRUE(succeeded(DemoCatalogue(options).fill(document, {})));
}

} // namespace

TEST_F(KeptTextsList, SearchFollowsEditsOfTheRowAndOfItsRecords)
{
    Artwork *artwork = addArtwork(QStringLiteral("Harbour"));
    Client *client = addClient(QStringLiteral("Gallery North"));
    Submission *submission = addSubmission(artwork, client, local(2023, 3, 1));
    EXPECT_EQ(hits(*document, "harb|waiting"), "11");

    artwork->setTitle(QStringLiteral("Dunes"));
    document->updateArtwork(artwork);
    EXPECT_EQ(hits(*document, "harb|DUNES"), "01");
    // Also an edit the document was not told about shows in the next search, as the row shows it.
    artwork->setTitle(QStringLiteral("Orchard"));
    EXPECT_EQ(hits(*document, "dunes|orch"), "01");
    submission->setArtwork(addArtwork(QStringLiteral("Tide")));
    EXPECT_EQ(hits(*document, "orch|tide"), "01");
    submission->setArtwork(artwork);

    client->setCompany(QStringLiteral("Riverside Fair"));
    document->updateClient(client);
    EXPECT_EQ(hits(*document, "north|riverside"), "01");

    // A response changes both the status and the date line.
    submission->setResponseReceived(1);
    submission->setSubmissionState(1);
    submission->setResponseDate(local(2023, 3, 11));
    document->updateSubmission(submission);
    EXPECT_EQ(hits(*document, "waiting|sold|(10 days)"), "011");
}

TEST_F(KeptTextsList, DateLineFollowsTheDayAndTheLocale)
{
    Clock::setFixedNow(QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
    addDueSubmission(addArtwork(QStringLiteral("Harbour")), addClient(QStringLiteral("Gallery North")),
                     local(2024, 5, 7), local(2024, 5, 10));
    EXPECT_EQ(hits(*document, "(3 days)|!"), "10");
    // The next day: one more day, and the due date has passed by a whole day.
    Clock::setFixedNow(QDateTime(QDate(2024, 5, 11), QTime(12, 0)));
    EXPECT_EQ(hits(*document, "(3 days)|(4 days!)"), "01");
    EXPECT_EQ(document->submissions().front()->moreSubText(),
              document->submissionListController()->cell(0, 0).moreSubText);

    // Another locale gives its own texts.
    const QString english = mediumDateString(local(2024, 5, 7));
    EXPECT_EQ(searched(*document, english).size(), 1u);
    test::setLocale(QStringLiteral("de_DE"));
    const QString german = mediumDateString(local(2024, 5, 7));
    ASSERT_NE(german, english);
    EXPECT_EQ(searched(*document, german).size(), 1u);
    EXPECT_TRUE(searched(*document, english).empty());
    test::setLocale(QStringLiteral("en_US"));
    EXPECT_EQ(searched(*document, english).size(), 1u);
}

TEST_F(KeptTextsList, SearchOrderAndHeadingsAreThoseOfTheListRules)
{
    fillSample(*document);
    // Titles whose letters fold only as pairs (outside the basic plane) or specially.
    Client *client = addClient(QStringLiteral("Stra\u00dfe Gallery"));
    addSubmission(addArtwork(QString::fromUtf8(u8"Desert \U00010400 Study")), client, local(2023, 4, 2));
    addSubmission(addArtwork(QString::fromUtf8(u8"\u0130stanbul")), client, local(2023, 4, 3));
    // Titles that differ only in case and accents, on the same day, order by the locale.
    Client *atelier = addClient(QStringLiteral("Atelier"));
    for (const char *title : {"\u00e9t\u00e9", "Ete", "ete", "Apple", "apple"})
        addSubmission(addArtwork(QString::fromUtf8(title)), atelier, local(2022, 6, 1));
    addSubmission(nullptr, atelier, local(2022, 6, 1));
    addSubmission(addArtwork(QStringLiteral("Undated")), atelier, QDateTime());
    for (const bool ascending : {false, true}) {
        document->submissionListController()->setSortOrder(0, ascending);
        const auto &all = document->submissions();
        for (size_t i = 1; i < all.size(); ++i)
            ASSERT_LE(all[i - 1]->compareSubmission(*all[i]), 0) << i;
    }

    // After a load each record's list is its submissions in load (key) order, sorted stably.
    reopen();
    auto expectSorted = [](const std::vector<Submission *> &own) {
        std::vector<Submission *> byKey = own;
        std::sort(byKey.begin(), byKey.end(),
                  [](const Submission *a, const Submission *b) { return a->primaryKey() < b->primaryKey(); });
        std::stable_sort(byKey.begin(), byKey.end(), [](const Submission *a, const Submission *b) {
            return a->compareSubmission(*b) < 0;
        });
        EXPECT_EQ(own, byKey);
    };
    for (const auto &artwork : document->artworks())
        expectSorted(artwork->submissions());
    for (const auto &c : document->clients())
        expectSorted(c->submissions());

    // After the load, search finds what the row rule finds, also when asked again.
    const QStringList texts =
        QString::fromUtf8(u8"\U00010428|\U00010400 s|STRASSE|stra\u00dfe|istanbul|\u0130|g|GALLERY|"
                          u8"north 2|sold|waiting|withdrawn|days)|days!| to |1 day|2|no. 3|zzz")
            .split(QLatin1Char('|'));
    for (int round = 0; round < 2; ++round) {
        for (const QString &text : texts)
            EXPECT_EQ(searched(*document, text), expected(*document, text)) << text.toStdString();
    }
    // Headings: the first row of each year in the sorted (and filtered) list.
    QString previous;
    size_t headings = 0;
    const std::vector<Submission *> rows = searched(*document, QStringLiteral("a"));
    for (size_t row = 0; row < rows.size(); ++row) {
        const QString year = yearString(rows[row]->sendDate());
        EXPECT_EQ(document->submissionListController()->isSectionHeading(static_cast<qsizetype>(row)),
                  year != previous)
            << year.toStdString();
        headings += year != previous ? 1 : 0;
        previous = year;
    }
    EXPECT_GE(headings, 3u);
}

TEST_F(KeptTextsList, SortFollowsEditsMadeSinceTheLastSort)
{
    Client *client = addClient(QStringLiteral("Gallery North"));
    Artwork *apple = addArtwork(QStringLiteral("Apple"));
    Artwork *pear = addArtwork(QStringLiteral("Pear"));
    Submission *first = addSubmission(apple, client, local(2022, 6, 1));
    Submission *second = addSubmission(pear, client, local(2022, 6, 1));
    Submission *older = addSubmission(pear, client, local(2021, 6, 1));
    auto order = [&] {
        document->sortSubmissionsByDateAndTitle();
        return searched(*document, QString());
    };
    EXPECT_EQ(order(), (std::vector<Submission *>{first, second, older}));
    // The same day: the titles decide; a renamed artwork moves with its new title.
    apple->setTitle(QStringLiteral("Quince"));
    EXPECT_EQ(order(), (std::vector<Submission *>{second, first, older}));
    // A later send date comes first.
    older->setSendDate(local(2023, 1, 1));
    EXPECT_EQ(order(), (std::vector<Submission *>{older, second, first}));
    // Another artwork for a row brings its title.
    first->setArtwork(addArtwork(QStringLiteral("Banana")));
    EXPECT_EQ(order(), (std::vector<Submission *>{older, first, second}));
}

// The window makes the index in short steps while it is idle; what it makes must search as the
// list's rule does, also when a record changed between two steps.
TEST_F(KeptTextsList, IndexMadeInStepsSearchesAsTheRuleAlsoAfterAnEditBetweenSteps)
{
    fillSample(*document);
    int steps = 1;
    EXPECT_FALSE(document->prepareSearchStep(std::chrono::nanoseconds(0)));
    // An edit of a record whose row is already made.
    Artwork *first = document->submissions().front()->artwork();
    ASSERT_TRUE(first);
    first->setTitle(QStringLiteral("Quayside Xylograph"));
    while (!document->prepareSearchStep(std::chrono::nanoseconds(0)))
        ++steps;
    EXPECT_GT(steps, 2);
    EXPECT_TRUE(document->prepareSearchStep(std::chrono::nanoseconds(0))); // nothing left to make

    for (const char *text : {"xylograph", "waiting", "a", "20", "zzz"}) {
        const QString needle = QString::fromUtf8(text);
        EXPECT_EQ(searched(*document, needle), expected(*document, needle)) << text;
    }
    EXPECT_FALSE(searched(*document, QStringLiteral("xylograph")).empty());
}
