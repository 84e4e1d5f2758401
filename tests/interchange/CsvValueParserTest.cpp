#include "interchange/csv/CsvValueParser.h"

#include "store/VelumarkStrings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <limits>

using namespace velumark;

namespace {

QDateTime day(int year, int month, int dayOfMonth)
{
    return QDate(year, month, dayOfMonth).startOfDay();
}

// Restores the suite's locale when a test switches it.
struct LocaleScope
{
    explicit LocaleScope(const char *name) { test::setLocale(QString::fromLatin1(name)); }
    ~LocaleScope() { test::setLocale(QStringLiteral("en_US")); }
};

} // namespace

TEST(CsvValueParser, DatesInThePatternTheMediumStyleAndWithoutTheBlank)
{
    const CsvValueParser parser;
    EXPECT_EQ(parser.parseDate(QStringLiteral("Jan 5,2013")), day(2013, 1, 5));
    EXPECT_EQ(parser.parseDate(QStringLiteral("Jan 05, 2013")), day(2013, 1, 5));
    EXPECT_EQ(parser.parseDate(QStringLiteral("Dec 31, 1999")), day(1999, 12, 31));
    // The medium style the export writes in this locale.
    EXPECT_EQ(parser.parseDate(QStringLiteral("Mar 9, 2021")), day(2021, 3, 9));
    for (const char *bad :
         {"", "5 Jan 2013", "Feb 30, 2013", "Jan 5", "yesterday", "Jan 5, 2013 extra", "Jan 5, 99999"})
        EXPECT_FALSE(parser.parseDate(QString::fromLatin1(bad)).isValid()) << bad;

    const LocaleScope german("de_DE");
    const CsvValueParser germanParser;
    EXPECT_EQ(germanParser.parseDate(QStringLiteral("09.03.2021")), day(2021, 3, 9));
}

TEST(CsvValueParser, MoneyIsALocaleNumberRoundedToCents)
{
    const CsvValueParser parser;
    EXPECT_DOUBLE_EQ(parser.parseMoney(QStringLiteral("1234.50")), 1234.5);
    EXPECT_DOUBLE_EQ(parser.parseMoney(QStringLiteral("1,234.5")), 1234.5);
    EXPECT_DOUBLE_EQ(parser.parseMoney(QStringLiteral("12.3456")), 12.35);
    EXPECT_DOUBLE_EQ(parser.parseMoney(QStringLiteral("-7")), -7);
    for (const char *bad : {"", "abc", "$12", "inf", "nan", "1e999"})
        EXPECT_EQ(parser.parseMoney(QString::fromLatin1(bad)), 0) << bad;

    const LocaleScope german("de_DE");
    EXPECT_DOUBLE_EQ(CsvValueParser().parseMoney(QStringLiteral("1234,50")), 1234.5);
}

TEST(CsvValueParser, YesNoAndResponseFlagsInAnyLetterCase)
{
    const CsvValueParser parser;
    for (const char *yes : {"y", "Y", "yes", "YES", "Yes", "yEs"})
        EXPECT_TRUE(parser.parseYesNo(QString::fromLatin1(yes))) << yes;
    for (const char *no : {"", "n", "No", "x", "yes please", "1"})
        EXPECT_FALSE(parser.parseYesNo(QString::fromLatin1(no))) << no;

    for (const char *waiting : {"n", "no", "NO", "", "maybe"})
        EXPECT_EQ(parser.parseResponseFlag(QString::fromLatin1(waiting)), 0) << waiting;
    for (const char *received : {"y", "Yes"})
        EXPECT_EQ(parser.parseResponseFlag(QString::fromLatin1(received)), 1) << received;
    for (const char *withdrawn : {"w", "W", "withdrawn", "WITHDRAWN"})
        EXPECT_EQ(parser.parseResponseFlag(QString::fromLatin1(withdrawn)), 2) << withdrawn;
}

TEST(CsvValueParser, AmountsWithUnitsAndEnumerations)
{
    const QStringList &singular = VelumarkStrings::effortStrings();
    const QStringList &plural = VelumarkStrings::pluralEffortStrings();
    const auto amount = [&](const char *text) {
        const CsvValueParser::Amount result =
            CsvValueParser::parseAmount(QString::fromLatin1(text), singular, plural);
        return std::pair(result.amount, result.unit);
    };
    using Pair = std::pair<std::optional<qint64>, std::optional<qint64>>;
    EXPECT_EQ(amount("3 Hours"), Pair(3, 2));
    EXPECT_EQ(amount("1 hour"), Pair(1, 2));
    EXPECT_EQ(amount("3 fortnights"), Pair(3, 0));
    EXPECT_EQ(amount("three hours"), Pair(0, 2));
    EXPECT_EQ(amount("2 YEARS"), Pair(2, 6));
    EXPECT_EQ(amount("-2 days"), Pair(std::nullopt, 3)) << "a negative amount is not set";
    EXPECT_EQ(amount("99999999999999999999 minutes"), Pair(std::numeric_limits<qint32>::max(), 1));
    for (const char *bad : {"", "3", "3  hours", "3 hours ago", " 3 hours"})
        EXPECT_EQ(amount(bad), Pair()) << bad;
    const CsvValueParser::Amount weeks =
        CsvValueParser::parseAmount(QStringLiteral("2 weeks"), VelumarkStrings::responseTimeStrings(),
                                    VelumarkStrings::pluralResponseTimeStrings());
    EXPECT_EQ(weeks.unit, 2);

    const QStringList &clients = VelumarkStrings::clientStrings();
    EXPECT_EQ(CsvValueParser::parseEnumeration(QStringLiteral("gallery"), clients, 7), 1);
    EXPECT_EQ(CsvValueParser::parseEnumeration(QStringLiteral("SHOW"), clients, 7), 7);
    EXPECT_EQ(CsvValueParser::parseEnumeration(QStringLiteral("Show"), clients, 6), std::nullopt);
    EXPECT_EQ(CsvValueParser::parseEnumeration(QStringLiteral("Nonsense"), clients, 7), std::nullopt);
    EXPECT_EQ(CsvValueParser::parseEnumeration(QStringLiteral("one artist show"),
                                               VelumarkStrings::typeStrings(), 6),
              2);
}
