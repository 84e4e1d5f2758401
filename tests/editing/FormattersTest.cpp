#include "editing/DecimalFormatter.h"
#include "editing/EditorDates.h"
#include "editing/TextLimitFormatter.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace velumark::editing {
namespace {

using State = QValidator::State;
using Style = DecimalFormatter::Style;

// What a one-line field holds after the user turned its text into `proposed`.
QString edited(TextLimitFormatter &formatter, const QString &before, QString proposed, int *cursor = nullptr)
{
    formatter.setCurrentText(before);
    int pos = 0;
    EXPECT_EQ(formatter.validate(proposed, pos), State::Acceptable);
    if (cursor)
        *cursor = pos;
    return proposed;
}

State check(const DecimalFormatter &formatter, const QString &text)
{
    QString input = text;
    int pos = int(text.size());
    return formatter.validate(input, pos);
}

TEST(TextLimitFormatter, TakesWhatFitsCutsPastesAndLetsLongTextsShrink)
{
    TextLimitFormatter formatter(5);
    QSignalSpy reached(&formatter, &TextLimitFormatter::limitReached);
    EXPECT_EQ(edited(formatter, QStringLiteral("abcd"), QStringLiteral("abcde")), QStringLiteral("abcde"));
    EXPECT_EQ(reached.count(), 0);
    // A sixth character is refused: the text stays, and the window hears of it.
    EXPECT_EQ(edited(formatter, QStringLiteral("abcde"), QStringLiteral("abcXde")), QStringLiteral("abcde"));
    EXPECT_EQ(reached.count(), 1);
    // A paste in the middle keeps what fits, and the cursor follows the kept part.
    int cursor = 0;
    EXPECT_EQ(edited(formatter, QStringLiteral("ab"), QStringLiteral("a12345b"), &cursor),
              QStringLiteral("a123b"));
    EXPECT_EQ(cursor, 4);
    // Replacing a selection counts what the selection gave back.
    EXPECT_EQ(edited(formatter, QStringLiteral("abcde"), QStringLiteral("a123456e")),
              QStringLiteral("a123e"));
    // A text already over the limit can be shortened, and replaced by one as long, not longer.
    EXPECT_EQ(edited(formatter, QStringLiteral("abcdefgh"), QStringLiteral("abcdefg")),
              QStringLiteral("abcdefg"));
    EXPECT_EQ(edited(formatter, QStringLiteral("abcdefgh"), QStringLiteral("abcXefgh")),
              QStringLiteral("abcXefgh"));
    EXPECT_EQ(edited(formatter, QStringLiteral("abcdefgh"), QStringLiteral("abcdefghi")),
              QStringLiteral("abcdefgh"));
    // A character outside the basic plane is never cut in half.
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
    EXPECT_EQ(edited(formatter, QStringLiteral("abcd"), QStringLiteral("abcd") + clef),
              QStringLiteral("abcd"));

    EXPECT_TRUE(TextLimitFormatter::accepts(3, 3, 0));
    EXPECT_FALSE(TextLimitFormatter::accepts(3, 4, 3));
    EXPECT_EQ(TextLimitFormatter::room(9998, 5, TextLimitFormatter::kMultiLineLimit), 7);
    EXPECT_EQ(TextLimitFormatter::room(10005, 2, TextLimitFormatter::kMultiLineLimit), 2);
}

TEST(DecimalFormatter, MoneyRefusesSignsLettersAndA15thCharacter)
{
    const DecimalFormatter money(Style::money());
    EXPECT_EQ(money.style().maximumLength(), 14);
    EXPECT_EQ(check(money, QStringLiteral("-")), State::Invalid);
    EXPECT_EQ(check(money, QStringLiteral("-5")), State::Invalid);
    EXPECT_EQ(check(money, QStringLiteral("12a")), State::Invalid);
    EXPECT_EQ(check(money, QStringLiteral("123,456,789.50")), State::Acceptable) << "14 characters";
    EXPECT_EQ(check(money, QStringLiteral("1,2,3,4,5,6.50")), State::Acceptable);
    EXPECT_EQ(check(money, QStringLiteral("1,2,3,4,5,6,7.5")), State::Invalid) << "a 15th character";
    EXPECT_EQ(check(money, QStringLiteral("1234567890")), State::Invalid) << "a 10th integer digit";
    EXPECT_EQ(check(money, QStringLiteral("1.234")), State::Invalid) << "a 3rd fraction digit";
    EXPECT_EQ(check(money, QStringLiteral("1.2.")), State::Invalid);
    EXPECT_EQ(check(money, QStringLiteral(".")), State::Intermediate);
    EXPECT_EQ(check(money, QString()), State::Acceptable);

    EXPECT_EQ(DecimalFormatter::number(QStringLiteral("1,234.5"), Style::money()), 1234.5);
    EXPECT_EQ(DecimalFormatter::number(QString(), Style::money()), 0.0);
    EXPECT_FALSE(DecimalFormatter::number(QStringLiteral("."), Style::money()));
    EXPECT_EQ(DecimalFormatter::text(1234.5, Style::money()), QStringLiteral("1234.50"));
}

TEST(DecimalFormatter, WholeNumbersAndTheSeparatorsOfTheLocale)
{
    const DecimalFormatter effort(Style::effort());
    const DecimalFormatter responseTime(Style::responseTime());
    EXPECT_EQ(effort.style().maximumLength(), 11);
    EXPECT_EQ(responseTime.style().maximumLength(), 9);
    EXPECT_EQ(check(effort, QStringLiteral("1,000")), State::Acceptable);
    EXPECT_EQ(check(effort, QStringLiteral("10.5")), State::Invalid) << "no fractions";
    EXPECT_EQ(check(responseTime, QStringLiteral("1,000")), State::Invalid) << "not grouped";
    EXPECT_EQ(check(responseTime, QStringLiteral("12345678")), State::Invalid);
    EXPECT_EQ(DecimalFormatter::number(QStringLiteral("1,000"), Style::effort()), 1000.0);

    test::setLocale(QStringLiteral("de_DE"));
    const DecimalFormatter german(Style::money());
    EXPECT_EQ(check(german, QStringLiteral("1.234,50")), State::Acceptable);
    EXPECT_EQ(check(german, QStringLiteral("1,2,3")), State::Invalid);
    EXPECT_EQ(DecimalFormatter::number(QStringLiteral("1.234,5"), Style::money()), 1234.5);
    EXPECT_EQ(DecimalFormatter::text(1234.5, Style::money()), QStringLiteral("1234,50"));
    test::setLocale(QStringLiteral("en_US"));
}

TEST(EditorDates, TakeTheYearsOneTo9999AndStoreTheStartOfTheDay)
{
    EXPECT_TRUE(EditorDates::isAllowed(QDate(1, 1, 1)));
    EXPECT_TRUE(EditorDates::isAllowed(QDate(9999, 12, 31)));
    EXPECT_FALSE(EditorDates::isAllowed(QDate(0, 12, 31)));
    EXPECT_FALSE(EditorDates::isAllowed(QDate(10000, 1, 1)));
    EXPECT_FALSE(EditorDates::isAllowed(QDate()));
    // 23:30 UTC on 30 June is already 1 July in Berlin.
    EXPECT_EQ(EditorDates::shownDay(QDateTime(QDate(2024, 6, 30), QTime(23, 30), Qt::UTC)),
              QDate(2024, 7, 1));
    EXPECT_EQ(EditorDates::shownDay(QDateTime()), EditorDates::today());
    EXPECT_EQ(EditorDates::storedDate(QDate(2024, 7, 1)), QDateTime(QDate(2024, 7, 1), QTime(0, 0)));
}

} // namespace
} // namespace velumark::editing
