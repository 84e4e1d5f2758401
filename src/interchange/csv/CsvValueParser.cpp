#include "interchange/csv/CsvValueParser.h"

#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/TextCompare.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace velumark {

namespace {

constexpr int kEarliestYear = 1;
constexpr int kLatestYear = 9999;

// Spreadsheets often drop the blank after the comma ("Jan 5,2013").
QString withBlankAfterCommas(const QString &text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0 || comma + 1 >= text.size() || text.at(comma + 1) == QLatin1Char(' '))
        return text;
    QString result = text;
    return result.replace(QLatin1Char(','), QStringLiteral(", "));
}

bool plausible(const QDateTime &date)
{
    if (!date.isValid())
        return false;
    // Local time is less than a day from UTC: only a date in a year at the ends of the range
    // needs the (costly) conversion to tell.
    const int year = date.toUTC().date().year();
    if (year > kEarliestYear && year < kLatestYear)
        return true;
    const int localYear = date.toLocalTime().date().year();
    return localYear >= kEarliestYear && localYear <= kLatestYear;
}

// The leading whole number of the text, as a person would read it ("3", "+3", "3rd"); 0 when the
// text does not start with one. Saturates instead of overflowing.
qint64 leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    constexpr qint64 limit = std::numeric_limits<qint32>::max();
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin(limit, value * 10 + (text.at(i).unicode() - u'0'));
    return negative ? -value : value;
}

} // namespace

CsvValueParser::CsvValueParser()
    : m_yes(localized("Yes")), m_no(localized("No")), m_withdrawn(localized("Withdrawn"))
{}

QDateTime CsvValueParser::parseDate(const QString &text) const
{
    // The first reading that gives a plausible date wins; the later ones are not tried.
    const QString normalized = withBlankAfterCommas(text);
    if (QDateTime date = parseDateWithPattern(normalized, QStringLiteral("MMM dd, yyyy")); plausible(date))
        return date;
    if (QDateTime date = parseMediumDate(normalized); plausible(date))
        return date;
    if (normalized != text) {
        if (QDateTime date = parseMediumDate(text); plausible(date))
            return date;
    }
    return {};
}

double CsvValueParser::parseMoney(const QString &text) const
{
    const QLocale locale;
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    // The locale's parser also reads "inf" and "nan", which are no amounts of money.
    if (!ok || !std::isfinite(value))
        return 0;
    // Kept as written with two decimals.
    return QString::number(value, 'f', 2).toDouble();
}

bool CsvValueParser::parseYesNo(const QString &text) const
{
    const QString word = capitalized(text);
    return word == m_yes || word == QLatin1String("Y");
}

qint64 CsvValueParser::parseResponseFlag(const QString &text) const
{
    const QString word = capitalized(text);
    if (word == m_yes || word == QLatin1String("Y"))
        return 1;
    if (word == m_withdrawn || word == QLatin1String("W"))
        return 2;
    return 0;
}

CsvValueParser::Amount CsvValueParser::parseAmount(const QString &text, const QStringList &singular,
                                                   const QStringList &plural)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 2)
        return {};
    Amount result;
    const qint64 amount = leadingInteger(parts.at(0));
    if (amount >= 0)
        result.amount = amount;
    const QString word = QLocale().toLower(parts.at(1));
    qsizetype index = singular.indexOf(word);
    if (index < 0)
        index = plural.indexOf(word);
    result.unit = index + 1;
    return result;
}

std::optional<qint64> CsvValueParser::parseEnumeration(const QString &text, const QStringList &list,
                                                       qint64 highestCode)
{
    const qsizetype index = list.indexOf(capitalized(text));
    if (index < 0 || index > highestCode)
        return std::nullopt;
    return index;
}

} // namespace velumark
