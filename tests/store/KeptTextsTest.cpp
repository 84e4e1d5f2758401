// Sort keys, folded search texts and local days that records keep between uses must answer
// exactly as the comparisons and conversions they stand for; and look-ups that an operation
// makes once for many uses (a statement found by the address of its text, today, the time zone)
// must be those of the moment the operation began.
#include "store/CalendarArithmetic.h"
#include "store/Clock.h"
#include "store/DateFormatting.h"
#include "store/Sqlite.h"
#include "store/TextCompare.h"
#include "support/TestEnvironment.h"

#include <QTimeZone>
#include <cstring>
#include <ctime>
#include <gtest/gtest.h>
#include <random>

using namespace velumark;

namespace {

// Letters whose case folding is special: sharp s, dotted and dotless i, the Kelvin and Angstrom
// signs, final sigma, title-case digraphs, a ligature, accents, and a letter outside the basic
// plane (a surrogate pair).
const QString kAlphabet =
    QString::fromUtf8(u8"aAbBkKsSiIeE \u00df\u1e9e\u0130\u0131\u212a\u212b\u00e5\u00c5"
                      u8"\u03c3\u03c2\u03a3\u01c4\u01c5\u01c6\ufb00\u00e9\u00c9\u0390\U00010400\U00010428");

QString randomText(std::mt19937 &random, int maxLength)
{
    // Whole code points: the surrogate pairs stay pairs.
    const QList<uint> points = kAlphabet.toUcs4();
    QString text;
    const int length = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1));
    for (int i = 0; i < length; ++i) {
        const char32_t point =
            static_cast<char32_t>(points[static_cast<qsizetype>(random() % points.size())]);
        text += QString::fromUcs4(&point, 1);
    }
    return text;
}

} // namespace

TEST(KeptTexts, FoldedSearchAnswersAsTheCaseInsensitiveMatch)
{
    std::mt19937 random(11);
    FoldedText kept;
    int found = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString haystack = randomText(random, 12);
        const QString needle = randomText(random, 3);
        if (needle.isEmpty())
            continue;
        kept.update(haystack);
        const bool expected = haystack.contains(needle, Qt::CaseInsensitive);
        ASSERT_EQ(kept.contains(SearchNeedle(needle)), expected)
            << "haystack " << haystack.toStdString() << " needle " << needle.toStdString();
        found += expected ? 1 : 0;
    }
    // The alphabet is small enough that many searches find something.
    EXPECT_GT(found, 1000);
}

TEST(KeptTexts, SortKeysOrderAsTheLocalizedComparisons)
{
    const QStringList words =
        QString::fromUtf8(u8"apple|Apple|\u00e4pple|zebra|Gallery 9|Gallery 10|gallery 10||"
                          u8"\u00e9t\u00e9|ete|Ole|\u00d6le")
            .split(QLatin1Char('|'));
    for (const bool numeric : {false, true}) {
        const quint32 serial = collationSerial(numeric);
        for (const QString &a : words) {
            CachedSortKey keptA;
            for (const QString &b : words) {
                CachedSortKey keptB;
                const int byKeys = keptA.key(a, numeric, serial).compare(keptB.key(b, numeric, serial));
                const int expected =
                    numeric ? localizedStandardCompare(a, b) : localizedCaseInsensitiveCompare(a, b);
                EXPECT_EQ((byKeys > 0) - (byKeys < 0), expected)
                    << a.toStdString() << " / " << b.toStdString();
            }
        }
    }

    // Another locale brings another collator, and a kept key is made again for it: in Swedish
    // "ö" sorts after "z", in English beside "o".
    CachedSortKey ole;
    CachedSortKey zebra;
    auto oleAfterZebra = [&] {
        const quint32 serial = collationSerial(false);
        return ole.key(QStringLiteral("\u00f6le"), false, serial)
                   .compare(zebra.key(QStringLiteral("zebra"), false, serial)) > 0;
    };
    EXPECT_FALSE(oleAfterZebra());
    test::setLocale(QStringLiteral("sv_SE"));
    EXPECT_TRUE(oleAfterZebra());
    test::setLocale(QStringLiteral("en_US"));
    EXPECT_FALSE(oleAfterZebra());
}

TEST(KeptTexts, LocalDaysCountAsTheDates)
{
    // Berlin (the tests' zone) changes to summer time on 26 March 2023 and back on 29 October.
    ASSERT_EQ(QTimeZone::systemTimeZoneId(), QByteArray("Europe/Berlin"));
    std::mt19937_64 random(3);
    const qint64 start = QDateTime(QDate(2023, 3, 20), QTime(0, 0)).toMSecsSinceEpoch();
    const qint64 span = qint64(250) * 24 * 3600 * 1000;
    for (int i = 0; i < 5000; ++i) {
        // Whole hours often, so that equal times of day occur; any millisecond otherwise.
        auto instant = [&] {
            qint64 offset = static_cast<qint64>(random() % static_cast<quint64>(span));
            if (random() % 2)
                offset -= offset % (3600 * 1000);
            return QDateTime::fromMSecsSinceEpoch(start + offset, (random() % 2) ? Qt::UTC : Qt::LocalTime);
        };
        const QDateTime from = instant();
        const QDateTime to = (random() % 4) ? instant() : from;
        const CalendarArithmetic::LocalDay a = CalendarArithmetic::localDay(from);
        const CalendarArithmetic::LocalDay b = CalendarArithmetic::localDay(to);
        ASSERT_TRUE(a.usable && b.usable);
        ASSERT_EQ(CalendarArithmetic::wholeDaysBetween(a, b), CalendarArithmetic::wholeDaysBetween(from, to))
            << from.toString(Qt::ISODateWithMs).toStdString() << " -> "
            << to.toString(Qt::ISODateWithMs).toStdString();
    }
    EXPECT_FALSE(CalendarArithmetic::localDay(QDateTime()).usable);
}

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
    EXPECT_EQ((std::vector{valueOf("SELECT 1"), valueOf("SELECT 2"), valueOf("SELECT 1")}),
              (std::vector<qint64>{1, 2, 1}));
    // A constant text asked for again gets its cached statement, and a nested use a fresh one.
    static const char *const kCount = "SELECT 40 + 2";
    StatementLease outer = db->cached(kCount);
    StatementLease inner = db->cached(kCount);
    ASSERT_TRUE(outer && inner);
    EXPECT_NE(&*outer, &*inner);
    ASSERT_EQ(inner->step(), SqliteStatement::Step::Row);
    EXPECT_EQ(inner->columnInt64(0), 42);
}

TEST(PerOperationLookups, ScopesKeepTodayAndTheTimeZoneTheyBeganWith)
{
    const QDateTime monday(QDate(2024, 5, 6), QTime(23, 59, 59));
    Clock::setFixedNow(monday);
    {
        const Clock::TodayScope scope;
        Clock::setFixedNow(monday.addSecs(2));
        {
            const Clock::TodayScope nested;
            EXPECT_EQ(Clock::today(), QDateTime(QDate(2024, 5, 6), QTime(0, 0)));
        }
        EXPECT_EQ(Clock::today(), QDateTime(QDate(2024, 5, 6), QTime(0, 0)));
    }
    // Without a scope, today follows the clock again: past midnight it is Tuesday.
    EXPECT_EQ(Clock::today(), QDateTime(QDate(2024, 5, 7), QTime(0, 0)));
    Clock::clearFixedNow();

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
