#include "interchange/csv/CsvValueParser.h"

#include "store/VelumarkStrings.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <limits>

using namespace velumark;

namespace {

// Switches the locale for a test and then back to the suite's.
struct LocaleScope
{
    explicit LocaleScope(const char *name) { test::setLocale(QString::fromLatin1(name)); }
    ~LocaleScope() { test::setLocale(QStringLiteral("en_US")); }
};

} // namespace

TEST(CsvValueParser, DatesInThePatternTheMediumStyleAndWithoutTheBlank)
{
    const CsvValueParser parser;
    // "Mar 9, 2021" is the medium style the export writes in this locale.
    for (const auto &[text, date] : {std::pair("Jan 5,2013", QDate(2013, 1, 5)),
                                     {"Jan 05, 2013", {2013, 1, 5}},
                                     {"Dec 31, 1999", {1999, 12, 31}},
                                     {"Mar 9, 2021", {2021, 3, 9}}})
        EXPECT_EQ(parser.parseDate(QString::fromLatin1(text)), date.startOfDay()) << text;
    for (const char *bad :
         {"", "5 Jan 2013", "Feb 30, 2013", "Jan 5", "yesterday", "Jan 5, 2013 extra", "Jan 5, 99999"})
        EXPECT_FALSE(parser.parseDate(QString::fromLatin1(bad)).isValid()) << bad;

    const LocaleScope german("de_DE");
    EXPECT_EQ(CsvValueParser().parseDate(QStringLiteral("09.03.2021")), QDate(2021, 3, 9).startOfDay());
}

TEST(CsvValueParser, MoneyIsALocaleNumberRoundedToCents)
{
    const CsvValueParser parser;
    for (const auto &[text, money] : {std::pair("1234.50", 1234.5),
                                      {"1,234.5", 1234.5},
                                      {"12.3456", 12.35},
                                      {"-7", -7.0},
                                      {"", 0.0},
                                      {"abc", 0.0},
                                      {"$12", 0.0},
                                      {"inf", 0.0},
                                      {"nan", 0.0},
                                      {"1e999", 0.0}})
        EXPECT_DOUBLE_EQ(parser.parseMoney(QString::fromLatin1(text)), money) << text;

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

    // 0 waiting, 1 received, 2 withdrawn.
    for (const auto &[text, flag] : {std::pair("n", 0),
                                     {"no", 0},
                                     {"NO", 0},
                                     {"", 0},
                                     {"maybe", 0},
                                     {"y", 1},
                                     {"Yes", 1},
                                     {"w", 2},
                                     {"W", 2},
                                     {"withdrawn", 2},
                                     {"WITHDRAWN", 2}})
        EXPECT_EQ(parser.parseResponseFlag(QString::fromLatin1(text)), flag) << text;
}

TEST(CsvValueParser, AmountsWithUnitsAndEnumerations)
{
    using Pair = std::pair<std::optional<qint64>, std::optional<qint64>>;
    const auto amount = [](const char *text) {
        const CsvValueParser::Amount result =
            CsvValueParser().parseAmount(QString::fromLatin1(text), VelumarkStrings::effortStrings(),
                                         VelumarkStrings::pluralEffortStrings());
        return Pair(result.amount, result.unit);
    };
    EXPECT_EQ(amount("3 Hours"), Pair(3, 2));
    EXPECT_EQ(amount("1 hour"), Pair(1, 2));
    EXPECT_EQ(amount("3 fortnights"), Pair(3, 0));
    EXPECT_EQ(amount("three hours"), Pair(0, 2));
    EXPECT_EQ(amount("2 YEARS"), Pair(2, 6));
    EXPECT_EQ(amount("-2 days"), Pair(std::nullopt, 3)) << "a negative amount is not set";
    EXPECT_EQ(amount("99999999999999999999 minutes"), Pair(std::numeric_limits<qint32>::max(), 1));
    for (const char *bad : {"", "3", "3  hours", "3 hours ago", " 3 hours"})
        EXPECT_EQ(amount(bad), Pair()) << bad;
    EXPECT_EQ(CsvValueParser()
                  .parseAmount(QStringLiteral("2 weeks"), VelumarkStrings::responseTimeStrings(),
                               VelumarkStrings::pluralResponseTimeStrings())
                  .unit,
              2);

    const QStringList &clients = VelumarkStrings::clientStrings();
    EXPECT_EQ(CsvValueParser().parseEnumeration(QStringLiteral("gallery"), clients, 7), 1);
    EXPECT_EQ(CsvValueParser().parseEnumeration(QStringLiteral("SHOW"), clients, 7), 7);
    EXPECT_EQ(CsvValueParser().parseEnumeration(QStringLiteral("Show"), clients, 6), std::nullopt);
    EXPECT_EQ(CsvValueParser().parseEnumeration(QStringLiteral("Nonsense"), clients, 7), std::nullopt);
    EXPECT_EQ(CsvValueParser().parseEnumeration(QStringLiteral("one artist show"),
                                                VelumarkStrings::typeStrings(), 6),
              2);
}
