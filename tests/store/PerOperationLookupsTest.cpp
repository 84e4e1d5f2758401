// Look-ups that an operation makes once for many uses: a statement found by the address of its
// text, and the time zone kept by a TimeZoneScope.
#include "store/DateFormatting.h"
#include "store/Sqlite.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>

using namespace velumark;

TEST(PerOperationLookups, AStatementFoundByAddressIsTheOneOfTheTextThere)
{
    auto db = SqliteConnection::open(QStringLiteral(":memory:"));
    ASSERT_TRUE(db);
    // One buffer, two texts: the second must not get the statement of the first.
    char text[32];
    auto valueOf = [&](const char *sql) {
        std::strcpy(text, sql);
        StatementLease statement = db->cached(text);
        EXPECT_TRUE(statement);
        EXPECT_EQ(statement->step(), SqliteStatement::Step::Row);
        return statement->columnInt64(0);
    };
    EXPECT_EQ(valueOf("SELECT 1"), 1);
    EXPECT_EQ(valueOf("SELECT 2"), 2);
    EXPECT_EQ(valueOf("SELECT 1"), 1);
    // A constant text asked for again gets its cached statement, and a nested use a fresh one.
    static const char *const kCount = "SELECT 40 + 2";
    StatementLease outer = db->cached(kCount);
    StatementLease inner = db->cached(kCount);
    ASSERT_TRUE(outer && inner);
    EXPECT_NE(&*outer, &*inner);
    EXPECT_EQ(inner->step(), SqliteStatement::Step::Row);
    EXPECT_EQ(inner->columnInt64(0), 42);
}

TEST(PerOperationLookups, AScopeKeepsTheTimeZoneItBeganWith)
{
    const QByteArray saved = qgetenv("TZ");
    auto setZone = [](const char *zone) {
        qputenv("TZ", zone);
        tzset();
    };
    const QDateTime noon = QDateTime(QDate(2024, 6, 11), QTime(12, 0), Qt::UTC);
    setZone("Europe/Berlin");
    const QString berlin = mediumDateTimeString(noon);
    setZone("America/New_York");
    const QString newYork = mediumDateTimeString(noon);
    ASSERT_NE(berlin, newYork);
    {
        const TimeZoneScope scope;
        setZone("Europe/Berlin");
        EXPECT_EQ(mediumDateTimeString(noon), newYork);
        {
            const TimeZoneScope nested;
            EXPECT_EQ(mediumDateTimeString(noon), newYork);
        }
        EXPECT_EQ(mediumDateTimeString(noon), newYork);
    }
    // Without a scope every date follows the zone again.
    EXPECT_EQ(mediumDateTimeString(noon), berlin);
    setZone(saved.isEmpty() ? "Europe/Berlin" : saved.constData());
}
