#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Clock.h"
#include "store/Submission.h"

#include <algorithm>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <vector>

using namespace velumark;

namespace {

QDateTime local(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

// Fixes "now" for one test.
struct FixedNow
{
    explicit FixedNow(const QDateTime &now) { Clock::setFixedNow(now); }
    ~FixedNow() { Clock::clearFixedNow(); }
};

std::unique_ptr<Artwork> artwork(const char *title, const char *artist = nullptr)
{
    auto a = std::make_unique<Artwork>();
    a->setTitle(QString::fromUtf8(title));
    if (artist)
        a->setArtist(QString::fromUtf8(artist));
    return a;
}

} // namespace

TEST(ArtworkRules, ComparisonsFollowTitleCodeThenArtistLocaleAndSortSafely)
{
    EXPECT_LT(artwork("Harbour")->compareTitleThenArtist(*artwork("harbour")), 0) << "titles by code";
    auto sam = artwork("Study", "sam");
    auto jo = artwork("Study", "Jo");
    auto none = artwork("Study");
    EXPECT_GT(sam->compareTitleThenArtist(*jo), 0) << "artists by the locale";
    EXPECT_EQ(none->compareTitleThenArtist(*artwork("Study")), 0) << "two artworks without artist are equal";
    EXPECT_LT(none->compareTitleThenArtist(*jo), 0);
    EXPECT_GT(jo->compareTitleThenArtist(*none), 0);
    EXPECT_LT(artwork("A", "Zed")->compareArtistThenTitle(*artwork("B", "ann")), 0)
        << "artists by code first";
    Artwork::sortAscending(false);
    EXPECT_LT(sam->compareTitleThenArtist(*jo), 0);
    Artwork::sortAscending(true);

    // A comparator that is not a strict weak ordering makes std::sort undefined; this sort must
    // come out ordered whatever the mix of missing artists.
    std::vector<std::unique_ptr<Artwork>> list;
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i)
        list.push_back(artwork(i % 3 ? "Same" : "Other", random() % 2 ? "Ann" : nullptr));
    std::sort(list.begin(), list.end(), [](auto &a, auto &b) { return a->compareTitleThenArtist(*b) < 0; });
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LE(list[i - 1]->compareTitleThenArtist(*list[i]), 0);
}

TEST(ArtworkRules, StatusIconAndIncomeComeFromSubmissions)
{
    auto a = artwork("Harbour");
    EXPECT_TRUE(a->statusImage().isEmpty());
    Submission sold, withdrawn;
    sold.setSendDate(local(2021, 5, 1));
    sold.setIncome(100);
    withdrawn.setSendDate(local(2021, 4, 1));
    withdrawn.setResponseReceived(2);
    withdrawn.setIncome(50);
    for (Submission *s : {&withdrawn, &sold, &sold})
        a->addSubmission(s);
    EXPECT_EQ(a->submissions(), (std::vector<Submission *>{&sold, &withdrawn})) << "newest first, once";
    // The newest submission decides the icon; income is that of answered submissions.
    std::vector<std::string> icons;
    for (const auto &[response, state] : {std::pair(1, 1), {1, 9}, {0, 9}, {3, 9}}) {
        sold.setResponseReceived(response);
        sold.setSubmissionState(state);
        icons.push_back((a->statusImage() + QString::number(a->totalIncome())).toStdString());
    }
    EXPECT_EQ(icons, (std::vector<std::string>{"dollarsign_icon100", "100", "questionmark_icon0",
                                               "withdrawn_icon0"}));
}

TEST(ClientRules, NearDeadlineWindowAroundMidnight)
{
    const FixedNow now(local(2024, 1, 10, 15));
    Client client;
    // Deadline, weeks of the window, whether the mark clears once the deadline has come.
    const std::tuple<QDateTime, int, bool> cases[] = {
        {local(2024, 1, 20), 2, true}, {local(2024, 1, 20), 1, true},  // ten days away
        {local(2024, 1, 17), 1, true}, {local(2024, 1, 11), 1, true},  // a week and a day away
        {local(2024, 1, 10), 1, true}, {local(2024, 1, 10), 1, false}, // the deadline day
        {local(2024, 1, 2), 1, true},  {local(2024, 1, 2), 1, false},  {QDateTime(), 1, false}};
    std::string marked;
    for (const auto &[deadline, weeks, clearAfter] : cases) {
        client.setDeadline(deadline);
        marked += client.isApproachingDeadline(weeks, 2, clearAfter) ? 'y' : 'n';
    }
    EXPECT_EQ(marked, "ynyynynyn");
    // A month back from 31 March is the last day of February.
    const FixedNow endOfMonth(local(2023, 2, 28, 9));
    client.setDeadline(local(2023, 3, 31));
    EXPECT_TRUE(client.isApproachingDeadline(1, 3, true));
}

TEST(ClientRules, StatusTextsFollowTheLatestSubmission)
{
    Client client;
    auto texts = [&] {
        return client.statusString() + QLatin1Char('/') + client.subText();
    };
    EXPECT_EQ(texts(), QStringLiteral("Open/"));
    Submission waiting;
    waiting.setSendDate(local(2022, 1, 1));
    client.addSubmission(&waiting);
    client.setStatus(false);
    EXPECT_EQ(texts(), QStringLiteral("Waiting/Closed"));
    waiting.setResponseReceived(1);
    EXPECT_EQ(texts(), QStringLiteral("Closed/"));

    Client nine, ten;
    nine.setCompany(QStringLiteral("Gallery 9"));
    ten.setCompany(QStringLiteral("gallery 10"));
    EXPECT_LT(nine.compareCompany(ten), 0);
}

TEST(SubmissionRules, OrderingPutsNewestFirstThenTitles)
{
    auto b = artwork("banana");
    auto a = artwork("Apple");
    Submission first, second, none, older;
    first.setArtwork(b.get());
    second.setArtwork(a.get());
    for (Submission *s : {&first, &second, &none})
        s->setSendDate(local(2021, 3, 1));
    older.setSendDate(local(2020, 1, 1));
    std::vector<Submission *> list{&older, &first, &none, &second};
    Submission::sortList(list);
    EXPECT_EQ(list, (std::vector<Submission *>{&none, &second, &first, &older}));
    Submission::sortAscending(false);
    Submission::sortList(list);
    EXPECT_EQ(list, (std::vector<Submission *>{&older, &first, &second, &none}));
    Submission::sortAscending(true);
}

TEST(SubmissionRules, TextsOfTheListCellAndOverdue)
{
    const FixedNow now(local(2021, 3, 4, 10));
    // Response, state, and the response date (answered) or the due date (waiting).
    const std::tuple<int, int, QDateTime> cases[] = {{1, 2, local(2021, 3, 11)}, {1, 2, local(2021, 3, 2)},
                                                     {1, 7, local(2021, 3, 1)},  {3, 7, local(2021, 3, 1)},
                                                     {0, 0, local(2021, 3, 2)},  {0, 0, local(2021, 3, 4)}};
    std::vector<std::string> texts;
    for (const auto &[response, state, date] : cases) {
        Submission s;
        s.setSendDate(local(2021, 3, 1));
        s.setResponseReceived(response);
        s.setSubmissionState(state);
        s.setValidDueDate(response == 0);
        response ? s.setResponseDate(date) : s.setResponseDueDate(date);
        texts.push_back((s.statusString() + QStringLiteral(": ") + s.moreSubText()).toStdString());
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Published: Mar 1, 2021 to Mar 11, 2021 (10 days)",
                                        "Published: Mar 1, 2021 to Mar 2, 2021 (1 day)",
                                        "Unknown: Mar 1, 2021 to Mar 1, 2021 (0 days)",
                                        "Withdrawn: Mar 1, 2021 to Mar 1, 2021 (0 days)",
                                        "Waiting: Mar 1, 2021 (3 days!)", "Waiting: Mar 1, 2021 (3 days)"}));

    // Due date, whether it counts, response: overdue only when due before today and unanswered.
    const std::tuple<QDateTime, bool, int> dues[] = {{local(2021, 3, 3), true, 0},
                                                     {local(2021, 3, 4), true, 0},
                                                     {local(2021, 3, 1), false, 0},
                                                     {local(2021, 3, 1), true, 1}};
    std::string overdue;
    for (const auto &[due, valid, response] : dues) {
        Submission s;
        s.setValidDueDate(valid);
        s.setResponseDueDate(due);
        s.setResponseReceived(response);
        overdue += s.overdue() ? 'y' : 'n';
    }
    EXPECT_EQ(overdue, "ynnn");
}

TEST(SubmissionRules, DateLinesMadeOnceForManyRowsFollowEachDayAndTheZone)
{
    const FixedNow now(local(2021, 3, 4, 10));
    // 23:30 UTC is the next day in Berlin (the tests' zone) and still the same day in New York.
    const QDateTime late(QDate(2021, 3, 1), QTime(23, 30), Qt::UTC);
    Submission waiting;
    waiting.setSendDate(late);
    Submission answered;
    answered.setSendDate(QDateTime(QDate(2021, 2, 27), QTime(12, 0), Qt::UTC));
    answered.setResponseReceived(1);
    answered.setResponseDate(late.addDays(1));
    const auto lines = [&] {
        const Submission::TextContext context = Submission::textContext();
        EXPECT_EQ(waiting.moreSubText(context), waiting.moreSubText());
        EXPECT_EQ(answered.moreSubText(context), answered.moreSubText());
        return (waiting.moreSubText(context) + QStringLiteral(" | ") + answered.moreSubText(context))
            .toStdString();
    };
    EXPECT_EQ(lines(), "Mar 2, 2021 (2 days) | Feb 27, 2021 to Mar 3, 2021 (3 days)");

    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "America/New_York");
    tzset();
    const std::string newYork = lines();
    qputenv("TZ", zone);
    tzset();
    EXPECT_EQ(newYork, "Mar 1, 2021 (2 days) | Feb 27, 2021 to Mar 2, 2021 (3 days)");
    EXPECT_EQ(lines(), "Mar 2, 2021 (2 days) | Feb 27, 2021 to Mar 3, 2021 (3 days)");
}
