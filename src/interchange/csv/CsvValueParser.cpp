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

// Beyond this many distinct words a column holds free text, which is cased each time.
constexpr qsizetype kRememberedWords = 512;

template <typename Cased>
const QString &remembered(QHash<QString, QString> &memo, const QString &text, Cased cased)
{
    if (const auto it = memo.constFind(text); it != memo.cend())
        return *it;
    if (memo.size() >= kRememberedWords)
        memo.clear();
    return *memo.insert(text, cased(text));
}

} // namespace

CsvValueParser::CsvValueParser()
    : m_yes(localized("Yes")), m_no(localized("No")), m_withdrawn(localized("Withdrawn")),
      m_decimalPoint(m_locale.decimalPoint()),
      m_plainNumbers(m_locale.zeroDigit() == QLatin1String("0") &&
                     m_locale.negativeSign() == QLatin1String("-") && m_decimalPoint.size() == 1)
{}

const QString &CsvValueParser::capitalizedWord(const QString &text) const
{
    return remembered(m_capitalized, text, [](const QString &word) { return capitalized(word); });
}

const QString &CsvValueParser::lowercaseWord(const QString &text) const
{
    return remembered(m_lowercase, text, [this](const QString &word) { return m_locale.toLower(word); });
}

std::optional<double> CsvValueParser::plainDecimal(const QString &text) const
{
    if (!m_plainNumbers)
        return std::nullopt;
    const QChar point = m_decimalPoint.at(0);
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const auto digitsFrom = [&text](qsizetype at) {
        qsizetype end = at;
        while (end < text.size() && text.at(end) >= QLatin1Char('0') && text.at(end) <= QLatin1Char('9'))
            ++end;
        return end;
    };
    const qsizetype integerEnd = digitsFrom(i);
    if (integerEnd == i)
        return std::nullopt;
    i = integerEnd;
    if (i < text.size() && text.at(i) == point) {
        const qsizetype fractionEnd = digitsFrom(i + 1);
        if (fractionEnd == i + 1)
            return std::nullopt;
        i = fractionEnd;
    }
    if (i != text.size())
        return std::nullopt;
    QString cLocale = text;
    cLocale.replace(point, QLatin1Char('.'));
    return cLocale.toDouble();
}

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
    if (text.isEmpty())
        return 0;
    bool ok = true;
    const std::optional<double> plain = plainDecimal(text);
    const double value = plain ? *plain : m_locale.toDouble(text, &ok);
    // The locale's parser also reads "inf" and "nan", which are no amounts of money.
    if (!ok || !std::isfinite(value))
        return 0;
    // Kept as written with two decimals.
    return QString::number(value, 'f', 2).toDouble();
}

bool CsvValueParser::parseYesNo(const QString &text) const
{
    const QString &word = capitalizedWord(text);
    return word == m_yes || word == QLatin1String("Y");
}

qint64 CsvValueParser::parseResponseFlag(const QString &text) const
{
    const QString &word = capitalizedWord(text);
    if (word == m_yes || word == QLatin1String("Y"))
        return 1;
    if (word == m_withdrawn || word == QLatin1String("W"))
        return 2;
    return 0;
}

CsvValueParser::Amount CsvValueParser::parseAmount(const QString &text, const QStringList &singular,
                                                   const QStringList &plural) const
{
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 2)
        return {};
    Amount result;
    const qint64 amount = leadingInteger(parts.at(0));
    if (amount >= 0)
        result.amount = amount;
    const QString &word = lowercaseWord(parts.at(1));
    qsizetype index = singular.indexOf(word);
    if (index < 0)
        index = plural.indexOf(word);
    result.unit = index + 1;
    return result;
}

std::optional<qint64> CsvValueParser::parseEnumeration(const QString &text, const QStringList &list,
                                                       qint64 highestCode) const
{
    const qsizetype index = list.indexOf(capitalizedWord(text));
    if (index < 0 || index > highestCode)
        return std::nullopt;
    return index;
}

} // namespace velumark
