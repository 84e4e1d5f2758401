#include "store/AppPreferences.h"
#include "store/CalendarArithmetic.h"
#include "store/DateFormatting.h"
#include "store/FileOperations.h"
#include "store/NumberFormatting.h"
#include "store/StoredDate.h"
#include "store/TextCompare.h"
#include "store/VelumarkStrings.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace velumark;

namespace {
QDateTime local(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
} // namespace

TEST(Utility, MidnightsIntervalsAndWholeDaysFollowTheCalendar)
{
    EXPECT_EQ(CalendarArithmetic::roundDate(local(2024, 3, 5, 23, 59)), local(2024, 3, 5));
    // Berlin switched to summer time at 02:00 on 31 March 2024; the day still starts at 00:00.
    const QDateTime dstDay = CalendarArithmetic::roundDate(local(2024, 3, 31, 15));
    EXPECT_EQ(dstDay, local(2024, 3, 31));
    EXPECT_EQ(dstDay.secsTo(CalendarArithmetic::roundDate(local(2024, 4, 1, 1))), 23 * 3600);
    EXPECT_FALSE(CalendarArithmetic::roundDate(QDateTime()).isValid());
    using U = CalendarArithmetic;
    const QDateTime wednesday = local(2024, 5, 15, 14, 30);
    EXPECT_EQ(U::subtractInterval(2, wednesday, 2), local(2024, 5, 1, 14, 30));
    EXPECT_FALSE(U::subtractInterval(2, wednesday, 0).isValid());
    EXPECT_EQ(U::subtractInterval(2, wednesday, 9), wednesday) << "unknown units leave the date";
    EXPECT_EQ(U::subtractInterval(1, local(2023, 3, 31), 3), local(2023, 2, 28));
    EXPECT_EQ(U::addInterval(1, local(2024, 1, 31), 3), local(2024, 2, 29));
    EXPECT_EQ(U::addInterval(1, local(2024, 2, 29), 4), local(2025, 2, 28));
    EXPECT_EQ(U::addInterval(3, local(2024, 12, 30), 1), local(2025, 1, 2));
    EXPECT_FALSE(U::subtractInterval(std::numeric_limits<qint64>::min(), wednesday, 1).isValid());
    EXPECT_FALSE(U::addInterval(std::numeric_limits<qint64>::max(), wednesday, 4).isValid());
    // Whole days truncate, never go negative, and count calendar days across the clock change.
    EXPECT_EQ(U::wholeDaysBetween(local(2021, 3, 1), local(2021, 3, 11)), 10);
    EXPECT_EQ(U::wholeDaysBetween(local(2021, 3, 1, 12), local(2021, 3, 2, 11)), 0);
    EXPECT_EQ(U::wholeDaysBetween(local(2021, 3, 2), local(2021, 3, 1)), 0);
    EXPECT_EQ(U::wholeDaysBetween(local(2024, 3, 30), local(2024, 4, 1)), 2);
}

TEST(Utility, DatesStoredAndShownSurviveHostileValues)
{
    for (const double hostile : {std::nan(""), std::numeric_limits<double>::infinity(), 1e300})
        EXPECT_FALSE(dateFromStoredSeconds(hostile).isValid()) << hostile;
    EXPECT_EQ(dateFromStoredSeconds(0).toMSecsSinceEpoch(), 0);
    EXPECT_EQ(storedSecondsFromDate(dateFromStoredSeconds(1300000000.5)), 1300000000.5);
    EXPECT_EQ(storedSecondsFromDate(QDateTime()), 0.0);
    // Shown and read in the medium style of the locale.
    EXPECT_EQ(mediumDateString(local(2021, 3, 1, 10)), QStringLiteral("Mar 1, 2021"));
    EXPECT_EQ(parseDateWithPattern(QStringLiteral("Jan 05, 2013"), QStringLiteral("MMM dd, yyyy")),
              local(2013, 1, 5));
    EXPECT_EQ(parseMediumDate(QStringLiteral("Mar 1, 2021")), local(2021, 3, 1));
    EXPECT_FALSE(parseMediumDate(QStringLiteral("yesterday")).isValid());
    EXPECT_EQ(yearString(local(2020, 12, 31, 23, 30)), QStringLiteral("2020"));
}

TEST(Utility, PrintedDatesHaveFourDigitYearsAndMoneyKeepsEveryDigit)
{
    EXPECT_EQ(shortDateString(local(2024, 3, 5, 23, 30)), QStringLiteral("3/5/2024"));
    EXPECT_EQ(shortDateString(local(1999, 12, 31)), QStringLiteral("12/31/1999"));
    EXPECT_TRUE(shortDateString(QDateTime()).isEmpty());
    EXPECT_EQ(moneyString(1234567.5), QStringLiteral("1,234,567.50"));
    EXPECT_EQ(moneyString(9876543210.126), QStringLiteral("9,876,543,210.13")) << "no digit dropped";
    EXPECT_EQ(moneyString(-12.5), QStringLiteral("-12.50"));
    EXPECT_EQ(moneyString(-0.001), QStringLiteral("0.00"));
    EXPECT_EQ(moneyString(0), QStringLiteral("0.00"));
    for (const double hostile : {std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(moneyString(hostile).isEmpty());
    EXPECT_FALSE(moneyString(1e300).isEmpty());

    test::setLocale(QStringLiteral("de_DE"));
    const QString germanDate = shortDateString(local(2024, 3, 5));
    const QString germanMoney = moneyString(1234.5);
    test::setLocale(QStringLiteral("en_US"));
    EXPECT_EQ(germanDate, QStringLiteral("05.03.2024"));
    EXPECT_EQ(germanMoney, QStringLiteral("1.234,50"));
}

TEST(Utility, FileHelpersReplaceTheDestination)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.txt"));
    const QString b = dir.filePath(QStringLiteral("b.txt"));
    for (const auto &[path, text] : {std::pair(a, "new"), {b, "old contents"}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    EXPECT_TRUE(FileOperations::copyFileFrom(a, b));
    QFile check(b);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("new"));
    EXPECT_TRUE(FileOperations::moveFileFrom(b, dir.filePath(QStringLiteral("c.txt"))));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(FileOperations::removeFileIfExists(b));
    EXPECT_FALSE(FileOperations::copyFileFrom(dir.filePath(QStringLiteral("missing")), b));
}

TEST(Strings, UnitWordsAndCaseAndLocaleComparisons)
{
    EXPECT_EQ(VelumarkStrings::effortUnitWord(1, 2), QStringLiteral("hour"));
    EXPECT_EQ(VelumarkStrings::effortUnitWord(3, 2), QStringLiteral("hours"));
    EXPECT_TRUE(VelumarkStrings::effortUnitWord(3, 0).isEmpty());
    EXPECT_TRUE(VelumarkStrings::effortUnitWord(3, std::numeric_limits<qint64>::min()).isEmpty());
    EXPECT_TRUE(VelumarkStrings::responseTimeUnitWord(2, 5).isEmpty());

    EXPECT_EQ(localizedCaseInsensitiveCompare(QStringLiteral("apple"), QStringLiteral("Apple")), 0);
    EXPECT_LT(localizedCaseInsensitiveCompare(QStringLiteral("Äpfel"), QStringLiteral("Birne")), 0);
    EXPECT_LT(localizedStandardCompare(QStringLiteral("Gallery 9"), QStringLiteral("Gallery 10")), 0);
    EXPECT_GT(localizedCaseInsensitiveCompare(QStringLiteral("Gallery 9"), QStringLiteral("Gallery 10")), 0);
    EXPECT_LT(plainCompare(QStringLiteral("Zebra"), QStringLiteral("apple")), 0)
        << "upper case first by code";
    EXPECT_EQ(capitalized(QStringLiteral("pen and ink")), QStringLiteral("Pen And Ink"));
    EXPECT_EQ(capitalized(QStringLiteral("ANN  o'LEARY")), QStringLiteral("Ann  O'leary"));
    const QByteArray apple = localizedCaseInsensitiveSortKey(QStringLiteral("apple"));
    EXPECT_EQ(apple, localizedCaseInsensitiveSortKey(QStringLiteral("APPLE")));
    EXPECT_LT(apple, localizedCaseInsensitiveSortKey(QStringLiteral("banana")));
}

TEST(Preferences, InvalidStoredValuesAreReplacedByDefaults)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("prefs.ini"));
    (void)AppPreferences(file); // writes the defaults
    {
        QSettings stored(file, QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("nearDeadlineDuration")).toInt(), 2);
        EXPECT_EQ(stored.value(QStringLiteral("clearAfterDeadline")).toInt(), 2);
        stored.setValue(QStringLiteral("nearDeadlineDuration"), 1001);
        stored.setValue(QStringLiteral("nearDeadlineDurationUnits"), 0);
        stored.setValue(QStringLiteral("clearAfterDeadline"), 1);
    }
    {
        AppPreferences second(file);
        EXPECT_EQ(second.deadlineDuration(), 1);
        EXPECT_EQ(second.deadlineUnits(), 2);
        EXPECT_FALSE(second.clearAfterDeadline());
        second.setDeadlineDuration(0);
        second.storeDeadlineDuration();
        EXPECT_FALSE(second.setDeadlineUnits(5));
        second.setSortArtworksByArtist(true);
    }
    AppPreferences third(file);
    EXPECT_EQ(third.deadlineDuration(), 0) << "a stored 1 means a duration of 0";
    EXPECT_TRUE(third.sortArtworksByArtist());
}

TEST(Preferences, AWriteThatCannotReachTheFileIsReportedAndTheValuesStillApply)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("prefs.ini"));
    AppPreferences writable(good);
    writable.setSortArtworksByArtist(true);
    EXPECT_TRUE(writable.lastWrite().ok());

    // A folder that is a file cannot be made, whoever runs the test.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString unreachable = dir.filePath(QStringLiteral("blocker/prefs.ini"));
    AppPreferences stuck(unreachable);
    EXPECT_FALSE(stuck.lastWrite().ok()) << "the defaults could not be written either";
    stuck.setClearAfterDeadline(false);
    const Result<> written = stuck.lastWrite();
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.message().contains(QStringLiteral("blocker"))) << written.message().toStdString();
    EXPECT_FALSE(stuck.clearAfterDeadline());
}
