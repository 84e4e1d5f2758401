#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DatabaseError.h"
#include "store/Submission.h"
#include "store/VelumarkUtility.h"
#include "support/Catalogue.h"

#include <gtest/gtest.h>

using namespace velumark;

TEST(RecordLifecycle, ArtworkEagerAndLazyFieldsRoundTrip)
{
    test::TemporaryDatabase db;
    Artwork artwork;
    artwork.setTitle(QStringLiteral("Harbour"));
    artwork.setArtist(QStringLiteral("Ann Lee"));
    artwork.setPrice(1200.5);
    artwork.setCreationDate(QDateTime(QDate(2020, 5, 1), QTime(0, 0)));
    artwork.setEffort(3);
    artwork.setEffortUnits(2);
    artwork.setNotes(QStringLiteral("varnished"));
    artwork.setSale_loan(false);
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);
    EXPECT_TRUE(artwork.isHydrated());
    EXPECT_FALSE(artwork.isDirty());

    Artwork light(artwork.primaryKey(), &db.connection(), true);
    EXPECT_EQ(light.title(), QStringLiteral("Harbour"));
    EXPECT_FALSE(light.sale_loan());
    EXPECT_EQ(light.creationDate(), artwork.creationDate());
    EXPECT_TRUE(light.notes().isNull()) << "lazy fields wait for hydrate";
    ASSERT_EQ(light.hydrate(), 0);
    EXPECT_EQ(light.notes(), QStringLiteral("varnished"));
    EXPECT_EQ(light.price(), 1200.5);
    EXPECT_EQ(light.effortUnits(), 2);
    ASSERT_EQ(light.dehydrate(), 0);
    EXPECT_TRUE(light.notes().isNull());
    EXPECT_FALSE(light.isHydrated());
    EXPECT_EQ(light.price(), 1200.5) << "numeric lazy fields keep their values";
}

TEST(RecordLifecycle, SavingALightRecordNeverBlanksItsLazyColumns)
{
    test::TemporaryDatabase db;
    Client client;
    client.setCompany(QStringLiteral("Gallery North"));
    client.setNotes(QStringLiteral("prefers large works"));
    client.setEmail(QStringLiteral("north@example.org"));
    ASSERT_EQ(client.insertIntoDatabase(&db.connection()), 0);

    Client light(client.primaryKey(), &db.connection(), true);
    light.setCompany(QStringLiteral("Gallery North & South"));
    ASSERT_EQ(light.save(), 0);
    EXPECT_EQ(db.text(QStringLiteral("SELECT notes FROM client")), QStringLiteral("prefers large works"));
    EXPECT_EQ(db.text(QStringLiteral("SELECT company FROM client")), QStringLiteral("Gallery North & South"));
}

TEST(RecordLifecycle, UnloadDropsEditsAndHydrateKeepsPendingEagerChanges)
{
    test::TemporaryDatabase db;
    Artwork artwork;
    artwork.setTitle(QStringLiteral("Original"));
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);

    Artwork edited(artwork.primaryKey(), &db.connection(), true);
    edited.setTitle(QStringLiteral("Changed"));
    ASSERT_EQ(edited.hydrate(), 0);
    EXPECT_TRUE(edited.isDirty()) << "hydrate must not forget a pending change";
    ASSERT_EQ(edited.unload(), 0);
    EXPECT_EQ(edited.title(), QStringLiteral("Original")) << "unload reads the row again";
    EXPECT_FALSE(edited.isDirty());
    EXPECT_EQ(db.text(QStringLiteral("SELECT title FROM artwork")), QStringLiteral("Original"));
}

TEST(RecordLifecycle, MissingRowsTakeFallbacksButFailedReadsDoNot)
{
    test::TemporaryDatabase db;
    int result = -1;
    Artwork artwork(99, &db.connection(), true, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(artwork.title(), QStringLiteral("No title"));
    EXPECT_TRUE(artwork.sale_loan());
    EXPECT_FALSE(artwork.creationDate().isValid());
    Client client(99, &db.connection(), true);
    EXPECT_FALSE(client.status());
    EXPECT_TRUE(client.company().isEmpty());
    EXPECT_TRUE(Client().status()) << "a new client is open";

    // A table that is missing cannot be read: that is a failure, not a missing row.
    db.exec(QStringLiteral("DROP TABLE submission"));
    Submission unreadable(1, &db.connection(), false, &result);
    EXPECT_EQ(result, 1);
    EXPECT_THROW(Submission(1, &db.connection(), true), DatabaseError);
}

TEST(RecordLifecycle, StoredZeroDatesDifferBetweenArtworksAndSubmissions)
{
    test::TemporaryDatabase db;
    db.exec(QStringLiteral("INSERT INTO artwork (pk, title, created) VALUES (1, 'x', 0)"));
    db.exec(QStringLiteral("INSERT INTO submission (pk, artwork_key, client_key, sent_date, response_date) "
                           "VALUES (1, 1, 1, 0, 0)"));
    Artwork artwork(1, &db.connection(), true);
    EXPECT_FALSE(artwork.creationDate().isValid());
    Submission submission(1, &db.connection(), true);
    ASSERT_TRUE(submission.responseDate().isValid());
    EXPECT_EQ(submission.responseDate().toMSecsSinceEpoch(), 0);
}

TEST(RecordLifecycle, KeysBeyondThirtyTwoBits)
{
    test::TemporaryDatabase db;
    db.exec(QStringLiteral("INSERT INTO artwork (pk, title) VALUES (5000000000, 'big')"));
    Artwork artwork;
    artwork.setTitle(QStringLiteral("next"));
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);
    EXPECT_EQ(artwork.primaryKey(), 5000000001);
    Artwork big(5000000000, &db.connection(), true);
    EXPECT_EQ(big.title(), QStringLiteral("big"));
}

TEST(RecordLifecycle, ChangingALazyFieldOfALightRecordKeepsTheChange)
{
    test::TemporaryDatabase db;
    Artwork artwork;
    artwork.setTitle(QStringLiteral("Harbour"));
    artwork.setNotes(QStringLiteral("old note"));
    artwork.setLocation(QStringLiteral("shelf"));
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);

    Artwork light(artwork.primaryKey(), &db.connection(), true);
    light.setNotes(QStringLiteral("new note"));
    ASSERT_EQ(light.dehydrate(), 0);
    EXPECT_EQ(db.text(QStringLiteral("SELECT notes FROM artwork")), QStringLiteral("new note"));
    EXPECT_EQ(db.text(QStringLiteral("SELECT location FROM artwork")), QStringLiteral("shelf"));
}
