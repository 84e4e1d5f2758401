#include "store/Artwork.h"
#include "store/Client.h"
#include "store/Submission.h"
#include "store/VelumarkUtility.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    explicit FixedNow(const QDateTime &now) { VelumarkUtility::setFixedNow(now); }
    ~FixedNow() { VelumarkUtility::clearFixedNow(); }
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

TEST(ArtworkRules, ComparisonsFollowTitleCodeThenArtistLocale)
{
    auto lower = artwork("harbour");
    auto upper = artwork("Harbour");
    EXPECT_LT(upper->compareTitleThenArtist(*lower), 0) << "plain comparison puts upper case first";

    auto s = artwork("Study", "sam");
    auto j = artwork("Study", "Jo");
    EXPECT_GT(s->compareTitleThenArtist(*j), 0);
    Artwork::sortAscending(false);
    EXPECT_LT(s->compareTitleThenArtist(*j), 0);
    Artwork::sortAscending(true);

    auto none1 = artwork("Study");
    auto none2 = artwork("Study");
    EXPECT_EQ(none1->compareTitleThenArtist(*none2), 0) << "two artworks without artist are equal";
    EXPECT_LT(none1->compareTitleThenArtist(*j), 0);
    EXPECT_GT(j->compareTitleThenArtist(*none1), 0);
    EXPECT_LT(artwork("A", "Zed")->compareArtistThenTitle(*artwork("B", "ann")), 0) << "artists by code first";
}

TEST(ArtworkRules, SortingManyArtworksWithGapsIsSafe)
{
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
    EXPECT_EQ(a->totalIncome(), 0);
    Submission sold;
    sold.setSendDate(local(2021, 5, 1));
    sold.setResponseReceived(1);
    sold.setSubmissionState(1);
    sold.setIncome(100);
    Submission withdrawn;
    withdrawn.setSendDate(local(2021, 4, 1));
    withdrawn.setResponseReceived(2);
    withdrawn.setIncome(50);
    a->addSubmission(&withdrawn);
    a->addSubmission(&sold);
    a->addSubmission(&sold);
    EXPECT_EQ(a->submissions().size(), 2u);
    EXPECT_EQ(a->submissions().front(), &sold) << "newest first";
    EXPECT_EQ(a->statusImage(), QStringLiteral("dollarsign_icon"));
    EXPECT_EQ(a->totalIncome(), 100);
    sold.setSubmissionState(9);
    EXPECT_TRUE(a->statusImage().isEmpty());
    sold.setResponseReceived(0);
    EXPECT_EQ(a->statusImage(), QStringLiteral("questionmark_icon"));
    sold.setResponseReceived(3);
    EXPECT_EQ(a->statusImage(), QStringLiteral("withdrawn_icon"));
}

TEST(ClientRules, NearDeadlineWindowAroundMidnight)
{
    const FixedNow now(local(2024, 1, 10, 15));
    Client client;
    client.setDeadline(VelumarkUtility::roundDate(local(2024, 1, 20)));
    EXPECT_TRUE(client.isApproachingDeadline(2, 2, true)) << "10 days away, window of two weeks";
    EXPECT_FALSE(client.isApproachingDeadline(1, 2, true)) << "10 days away, window of one week";
    client.setDeadline(local(2024, 1, 17));
    EXPECT_TRUE(client.isApproachingDeadline(1, 2, true)) << "exactly a week away";
    client.setDeadline(local(2024, 1, 11));
    EXPECT_TRUE(client.isApproachingDeadline(1, 2, true));
    client.setDeadline(local(2024, 1, 10));
    EXPECT_FALSE(client.isApproachingDeadline(1, 2, true)) << "cleared on the deadline day";
    EXPECT_TRUE(client.isApproachingDeadline(1, 2, false));
    client.setDeadline(local(2024, 1, 2));
    EXPECT_FALSE(client.isApproachingDeadline(1, 2, true));
    EXPECT_TRUE(client.isApproachingDeadline(1, 2, false)) << "past deadlines stay marked when not cleared";
    client.setDeadline(QDateTime());
    EXPECT_FALSE(client.isApproachingDeadline(1, 2, false));
    // A month back from 31 March is the last day of February.
    const FixedNow endOfMonth(local(2023, 2, 28, 9));
    client.setDeadline(local(2023, 3, 31));
    EXPECT_TRUE(client.isApproachingDeadline(1, 3, true));
}

TEST(ClientRules, StatusTextsFollowTheLatestSubmission)
{
    Client client;
    EXPECT_EQ(client.statusString(), QStringLiteral("Open"));
    EXPECT_TRUE(client.subText().isNull());
    Submission waiting;
    waiting.setSendDate(local(2022, 1, 1));
    client.addSubmission(&waiting);
    client.setStatus(false);
    EXPECT_EQ(client.statusString(), QStringLiteral("Waiting"));
    EXPECT_EQ(client.subText(), QStringLiteral("Closed"));
    waiting.setResponseReceived(1);
    EXPECT_EQ(client.statusString(), QStringLiteral("Closed"));
    EXPECT_TRUE(client.subText().isNull());

    Client nine;
    nine.setCompany(QStringLiteral("Gallery 9"));
    Client ten;
    ten.setCompany(QStringLiteral("gallery 10"));
    EXPECT_LT(nine.compareCompany(ten), 0);
}

TEST(SubmissionRules, OverdueFollowsTheDueDayAndFlags)
{
    const FixedNow now(local(2024, 6, 12, 0));
    Submission s;
    s.setValidDueDate(true);
    s.setResponseDueDate(local(2024, 6, 11));
    EXPECT_TRUE(s.overdue()) << "due yesterday";
    s.setResponseDueDate(local(2024, 6, 12));
    EXPECT_FALSE(s.overdue()) << "due today";
    s.setResponseDueDate(local(2024, 6, 1));
    s.setValidDueDate(false);
    EXPECT_FALSE(s.overdue());
    s.setValidDueDate(true);
    EXPECT_TRUE(s.overdue());
    s.setResponseReceived(1);
    EXPECT_FALSE(s.overdue());
}

TEST(SubmissionRules, OrderingPutsNewestFirstThenTitles)
{
    auto b = artwork("banana");
    auto a = artwork("Apple");
    Submission first;
    first.setSendDate(local(2021, 3, 1));
    first.setArtwork(b.get());
    Submission second;
    second.setSendDate(local(2021, 3, 1));
    second.setArtwork(a.get());
    Submission none;
    none.setSendDate(local(2021, 3, 1));
    Submission older;
    older.setSendDate(local(2020, 1, 1));
    std::vector<Submission *> list{&older, &first, &none, &second};
    Submission::sortList(list);
    EXPECT_EQ(list, (std::vector<Submission *>{&none, &second, &first, &older}));
    Submission::sortAscending(false);
    Submission::sortList(list);
    EXPECT_EQ(list, (std::vector<Submission *>{&older, &first, &second, &none}));
    Submission::sortAscending(true);
}

TEST(SubmissionRules, TextsOfTheListCell)
{
    Submission s;
    s.setSendDate(local(2021, 3, 1));
    s.setResponseReceived(1);
    s.setResponseDate(local(2021, 3, 11));
    s.setSubmissionState(2);
    EXPECT_EQ(s.statusString(), QStringLiteral("Published"));
    EXPECT_EQ(s.moreSubText(), QStringLiteral("Mar 1, 2021 to Mar 11, 2021 (10 days)"));
    s.setResponseDate(local(2021, 3, 2));
    EXPECT_EQ(s.moreSubText(), QStringLiteral("Mar 1, 2021 to Mar 2, 2021 (1 day)"));
    s.setResponseDate(local(2021, 3, 1));
    EXPECT_EQ(s.moreSubText(), QStringLiteral("Mar 1, 2021 to Mar 1, 2021 (0 days)"));
    s.setSubmissionState(7);
    EXPECT_EQ(s.statusString(), QStringLiteral("Unknown"));
    s.setResponseReceived(3);
    EXPECT_EQ(s.statusString(), QStringLiteral("Withdrawn"));

    const FixedNow now(local(2021, 3, 4, 10));
    Submission waiting;
    waiting.setSendDate(local(2021, 3, 1));
    waiting.setValidDueDate(true);
    waiting.setResponseDueDate(local(2021, 3, 2));
    EXPECT_EQ(waiting.statusString(), QStringLiteral("Waiting"));
    EXPECT_EQ(waiting.moreSubText(), QStringLiteral("Mar 1, 2021 (3 days!)"));
    waiting.setResponseDueDate(local(2021, 3, 4));
    EXPECT_EQ(waiting.moreSubText(), QStringLiteral("Mar 1, 2021 (3 days)"));
}
