#include "store/Artist.h"
#include "store/Artwork.h"
#include "store/Client.h"
#include "store/DatabaseError.h"
#include "store/Medium.h"
#include "store/Submission.h"
#include "support/Catalogue.h"

#include <gtest/gtest.h>

using namespace velumark;

TEST(RecordLifecycle, EagerAndLazyFieldsRoundTripAndUnloadDropsEdits)
{
    test::TemporaryDatabase db;
    Artwork artwork;
    artwork.setTitle(QStringLiteral("Harbour"));
    artwork.setPrice(1200.5);
    artwork.setCreationDate(QDateTime(QDate(2020, 5, 1), QTime(0, 0)));
    artwork.setEffortUnits(2);
    artwork.setNotes(QStringLiteral("varnished"));
    artwork.setSale_loan(false);
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);
    EXPECT_FALSE(artwork.isDirty());

    Artwork light(artwork.primaryKey(), &db.connection(), true);
    EXPECT_EQ(light.title(), QStringLiteral("Harbour"));
    EXPECT_FALSE(light.sale_loan());
    EXPECT_EQ(light.creationDate(), artwork.creationDate());
    EXPECT_TRUE(light.notes().isNull()) << "lazy fields wait for hydrate";
    ASSERT_EQ(light.hydrate(), 0);
    EXPECT_EQ(light.notes(), QStringLiteral("varnished"));
    EXPECT_EQ(light.effortUnits(), 2);
    ASSERT_EQ(light.dehydrate(), 0);
    EXPECT_TRUE(light.notes().isNull());
    EXPECT_EQ(light.price(), 1200.5) << "numeric lazy fields keep their values";

    light.setTitle(QStringLiteral("Changed"));
    ASSERT_EQ(light.hydrate(), 0);
    EXPECT_TRUE(light.isDirty()) << "hydrate must not forget a pending change";
    ASSERT_EQ(light.unload(), 0);
    EXPECT_EQ(light.title(), QStringLiteral("Harbour")) << "unload reads the row again";
    EXPECT_FALSE(light.isDirty());
    EXPECT_EQ(db.text(QStringLiteral("SELECT title FROM artwork")), QStringLiteral("Harbour"));
}

TEST(RecordLifecycle, SavingALightRecordKeepsItsLazyColumnsAndItsLazyChanges)
{
    test::TemporaryDatabase db;
    Artwork artwork;
    artwork.setTitle(QStringLiteral("Harbour"));
    artwork.setNotes(QStringLiteral("old note"));
    artwork.setLocation(QStringLiteral("shelf"));
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);
    const auto row = [&] {
        return db.text(QStringLiteral("SELECT title || '|' || notes || '|' || location FROM artwork"));
    };

    Artwork light(artwork.primaryKey(), &db.connection(), true);
    light.setTitle(QStringLiteral("Harbour & Dunes"));
    ASSERT_EQ(light.save(), 0);
    EXPECT_EQ(row(), QStringLiteral("Harbour & Dunes|old note|shelf"))
        << "a save never blanks what it did not read";
    Artwork other(artwork.primaryKey(), &db.connection(), true);
    other.setNotes(QStringLiteral("new note"));
    ASSERT_EQ(other.dehydrate(), 0);
    EXPECT_EQ(row(), QStringLiteral("Harbour & Dunes|new note|shelf"));
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
    EXPECT_EQ(Artist(42, &db.connection(), true).name(), QStringLiteral("No artist"));
    EXPECT_EQ(Medium(42, &db.connection(), true).name(), QStringLiteral("No medium"));
    db.exec(QStringLiteral("INSERT INTO medium (pk, name) VALUES (7, NULL)"));
    const QString unnamed = Medium(7, &db.connection(), true).name();
    EXPECT_TRUE(unnamed.isEmpty() && !unnamed.isNull()) << "a null name reads empty";

    // A table that is missing cannot be read: that is a failure, not a missing row.
    db.exec(QStringLiteral("DROP TABLE submission"));
    Submission unreadable(1, &db.connection(), false, &result);
    EXPECT_EQ(result, 1);
    EXPECT_THROW(Submission(1, &db.connection(), true), DatabaseError);
}

TEST(RecordLifecycle, ZeroDatesDifferBetweenArtworksAndSubmissionsAndKeysPassThirtyTwoBits)
{
    test::TemporaryDatabase db;
    db.exec(QStringLiteral("INSERT INTO artwork (pk, title, created) VALUES (1, 'x', 0)"));
    db.exec(QStringLiteral("INSERT INTO submission (pk, artwork_key, client_key, sent_date, response_date) "
                           "VALUES (1, 1, 1, 0, 0)"));
    EXPECT_FALSE(Artwork(1, &db.connection(), true).creationDate().isValid());
    const QDateTime response = Submission(1, &db.connection(), true).responseDate();
    ASSERT_TRUE(response.isValid());
    EXPECT_EQ(response.toMSecsSinceEpoch(), 0);
    db.exec(QStringLiteral("INSERT INTO artwork (pk, title) VALUES (5000000000, 'big')"));
    Artwork artwork;
    artwork.setTitle(QStringLiteral("next"));
    ASSERT_EQ(artwork.insertIntoDatabase(&db.connection()), 0);
    EXPECT_EQ(artwork.primaryKey(), 5000000001);
    EXPECT_EQ(Artwork(5000000000, &db.connection(), true).title(), QStringLiteral("big"));
}

TEST(NamedRecord, InsertLoadChangeDeleteAndFailures)
{
    test::TemporaryDatabase db;
    Artist ann;
    ann.setName(QStringLiteral("Ann"));
    ASSERT_EQ(ann.insertIntoDatabase(&db.connection()), 0);
    EXPECT_FALSE(ann.isDirty());

    Artist loaded(ann.primaryKey(), &db.connection(), true);
    EXPECT_EQ(loaded.name(), QStringLiteral("Ann"));
    loaded.setName(QStringLiteral("Ann"));
    EXPECT_FALSE(loaded.isDirty()) << "an unchanged value must not mark the record";
    loaded.setName(QStringLiteral("Anna"));
    EXPECT_TRUE(loaded.isDirty());
    ASSERT_EQ(loaded.save(), 0);
    EXPECT_EQ(db.text(QStringLiteral("SELECT name FROM artist")), QStringLiteral("Anna"));
    ASSERT_EQ(loaded.deleteFromDatabase(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM artist")), 0);
    EXPECT_EQ(Medium().deleteFromDatabase(), 0) << "a record never stored deletes nothing";

    // Failures raise or return by the abort flag.
    Medium oil;
    oil.setName(QStringLiteral("Oil"));
    ASSERT_EQ(oil.insertIntoDatabase(&db.connection()), 0);
    db.exec(QStringLiteral("DROP TABLE medium"));

    oil.setName(QStringLiteral("Oils"));
    oil.setAbortOnError(false);
    EXPECT_EQ(oil.save(), 1);
    EXPECT_TRUE(oil.isDirty()) << "a failed save keeps the change";
    EXPECT_EQ(oil.dehydrate(), 1);

    oil.setAbortOnError(true);
    try {
        oil.save();
        FAIL() << "expected a DatabaseError";
    } catch (const DatabaseError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Error: failed to dehydrate with message '")))
            << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("no such table")));
        EXPECT_EQ(error.object(), QStringLiteral("Medium"));
    }
}
