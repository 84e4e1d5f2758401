// The flush writes changed records in the order of their rows, whatever order the lists show.
#include "DocumentFixture.h"

using namespace velumark;
using FlushOrder = test::DocumentFixture;

TEST_F(FlushOrder, EveryChangedRecordIsWrittenWhateverTheListOrder)
{
    // Titles in the opposite order of the keys: the artwork list runs against the table.
    std::vector<Artwork *> artworks;
    for (int i = 0; i < 30; ++i)
        artworks.push_back(addArtwork(QStringLiteral("Title %1").arg(99 - i, 2, 10, QLatin1Char('0'))));
    Client *client = addClient(QStringLiteral("Gallery North"));
    std::vector<Submission *> submissions;
    for (int i = 0; i < 30; ++i)
        submissions.push_back(
            addSubmission(artworks[static_cast<size_t>(i)], client, local(2020, 1, 1).addDays(i)));
    QString error;
    ASSERT_TRUE(document->saveChanges(&error)) << error.toStdString();
    ASSERT_EQ(document->artworks().front()->title(), QStringLiteral("Title 70"));

    for (int i = 0; i < 30; i += 3) {
        artworks[static_cast<size_t>(i)]->setNotes(QStringLiteral("notes %1").arg(i));
        artworks[static_cast<size_t>(i)]->setPrice(100 + i);
        submissions[static_cast<size_t>(i)]->setIncome(10 + i);
    }
    client->setCommission(15);
    ASSERT_TRUE(document->saveChanges(&error)) << error.toStdString();
    for (const auto &artwork : document->artworks())
        EXPECT_FALSE(artwork->isDirty());

    reopen();
    for (const auto &artwork : document->artworks()) {
        const int i = 99 - artwork->title().mid(6).toInt();
        ASSERT_EQ(artwork->hydrate(), 0);
        EXPECT_EQ(artwork->notes(),
                  i % 3 == 0 ? QStringLiteral("notes %1").arg(i) : QString(QStringLiteral("")));
        EXPECT_EQ(artwork->price(), i % 3 == 0 ? 100.0 + i : 0.0);
        ASSERT_EQ(artwork->submissions().size(), 1u);
        EXPECT_EQ(artwork->submissions().front()->income(), i % 3 == 0 ? 10.0 + i : 0.0);
    }
    ASSERT_EQ(document->clients().front()->hydrate(), 0);
    EXPECT_EQ(document->clients().front()->commission(), 15.0);
}
