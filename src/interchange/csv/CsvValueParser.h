#pragma once

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace velumark {

// Turns the texts of CSV fields into values, the way the CSV export writes them or a person
// types them into a spreadsheet, in the user's locale. Unreadable texts give no value (or the
// documented default); codes are always inside their lists. Safe to use from a worker thread; one
// parser serves one thread at a time (it remembers the words it has cased).
class CsvValueParser
{
public:
    CsvValueParser();

    // "Jan 05, 2013", also without the blank after the comma, or the locale's medium date style.
    // Null when the text is no date.
    QDateTime parseDate(const QString &text) const;
    // A decimal number of the locale, rounded to two decimals; 0 for anything else.
    double parseMoney(const QString &text) const;
    // "Yes" (localized) or "Y", in any letter case.
    bool parseYesNo(const QString &text) const;
    // The response flag: "No"/"N" 0, "Yes"/"Y" 1, "Withdrawn"/"W" 2 (words localized, any letter
    // case); anything else 0.
    qint64 parseResponseFlag(const QString &text) const;

    struct Amount
    {
        std::optional<qint64> amount; // absent for a negative number
        std::optional<qint64> unit;   // 0 when the word is in neither list
    };
    // "<number> <unit word>", e.g. "3 hours"; both absent unless the text is exactly two words
    // separated by one blank. The unit code is the word's position + 1 in the singular or the
    // plural list.
    Amount parseAmount(const QString &text, const QStringList &singular, const QStringList &plural) const;

    // The position of the text, capitalized, in a list of display strings; absent when it is not
    // there or lies beyond `highestCode`.
    std::optional<qint64> parseEnumeration(const QString &text, const QStringList &list,
                                           qint64 highestCode) const;

private:
    // Casing a word through the locale is costly and a file repeats the few words of its yes/no,
    // list and unit columns: each distinct word is cased once.
    const QString &capitalizedWord(const QString &text) const;
    const QString &lowercaseWord(const QString &text) const;
    // The number when the text is plain digits with at most one decimal point of the locale.
    std::optional<double> plainDecimal(const QString &text) const;

    QLocale m_locale;
    QString m_yes;
    QString m_no;
    QString m_withdrawn;
    QString m_decimalPoint;
    bool m_plainNumbers = false;
    mutable QHash<QString, QString> m_capitalized;
    mutable QHash<QString, QString> m_lowercase;
};

} // namespace velumark
