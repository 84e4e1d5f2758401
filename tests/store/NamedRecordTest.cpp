#include "store/Artist.h"
#include "store/DatabaseError.h"
#include "store/Medium.h"
#include "support/Catalogue.h"

#include <gtest/gtest.h>

using namespace velumark;

TEST(NamedRecord, InsertLoadChangeAndDelete)
{
    test::TemporaryDatabase db;
    Artist ann;
    ann.setName(QStringLiteral("Ann"));
    ASSERT_EQ(ann.insertIntoDatabase(&db.connection()), 0);
    EXPECT_TRUE(ann.isHydrated());
    EXPECT_FALSE(ann.isDirty());
    EXPECT_GT(ann.primaryKey(), 0);

    int result = -1;
    Artist loaded(ann.primaryKey(), &db.connection(), true, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(loaded.name(), QStringLiteral("Ann"));
    EXPECT_FALSE(loaded.isDirty());

    loaded.setName(QStringLiteral("Ann"));
    EXPECT_FALSE(loaded.isDirty()) << "an unchanged value must not mark the record";
    loaded.setName(QStringLiteral("Anna"));
    EXPECT_TRUE(loaded.isDirty());
    ASSERT_EQ(loaded.save(), 0);
    EXPECT_EQ(db.text(QStringLiteral("SELECT name FROM artist WHERE pk=%1").arg(ann.primaryKey())),
              QStringLiteral("Anna"));

    ASSERT_EQ(loaded.deleteFromDatabase(), 0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM artist")), 0);
    EXPECT_EQ(loaded.primaryKey(), ann.primaryKey());
}

TEST(NamedRecord, MissingRowsTakeFallbacksAndNullNamesReadEmpty)
{
    test::TemporaryDatabase db;
    int result = -1;
    Artist artist(42, &db.connection(), true, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(artist.name(), QStringLiteral("No artist"));
    Medium medium(42, &db.connection(), true, &result);
    EXPECT_EQ(medium.name(), QStringLiteral("No medium"));

    db.exec(QStringLiteral("INSERT INTO medium (pk, name) VALUES (7, NULL)"));
    Medium unnamed(7, &db.connection(), true, &result);
    EXPECT_TRUE(unnamed.name().isEmpty());
    EXPECT_FALSE(unnamed.name().isNull());
}

TEST(NamedRecord, FailuresRaiseOrReturnByAbortFlag)
{
    test::TemporaryDatabase db;
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

    int result = -1;
    Medium unreadable(1, &db.connection(), false, &result);
    EXPECT_EQ(result, 1);

    Medium never;
    EXPECT_EQ(never.deleteFromDatabase(), 0) << "a record never stored deletes nothing";
}
