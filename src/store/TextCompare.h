#pragma once

#include <QByteArray>
#include <QString>

namespace velumark {

// Localized case-insensitive comparison (the user's locale): -1, 0 or 1.
int localizedCaseInsensitiveCompare(const QString &a, const QString &b);
// The ordering a file browser uses: case-insensitive, digit runs by numeric value.
int localizedStandardCompare(const QString &a, const QString &b);
// Plain comparison by character code, case-sensitive, not localized.
int plainCompare(const QString &a, const QString &b);

// Localized case-insensitive equality (the de-duplication of imported names).
inline bool localizedEquals(const QString &a, const QString &b)
{
    return localizedCaseInsensitiveCompare(a, b) == 0;
}

// Sort key for localizedCaseInsensitiveCompare: comparing two keys bytewise gives the same order.
QByteArray localizedCaseInsensitiveSortKey(const QString &text);
// Sort key for localizedStandardCompare.
QByteArray localizedStandardSortKey(const QString &text);

// Makes the collator of this thread follow the current default locale and returns its serial,
// which changes whenever another collator takes its place. Called once before many comparisons by
// cached sort keys.
quint32 collationSerial(bool numeric);

// A sort key kept beside the text it was made from; made again when the text or the collator (its
// serial) changed. Comparing two such keys bytewise orders as the comparison functions above do.
class CachedSortKey
{
public:
    const QByteArray &key(const QString &text, bool numeric, quint32 serial);

private:
    QString m_source;
    QByteArray m_key;
    quint32 m_serial = 0;
};

// A search text and its case-folded form.
class SearchNeedle
{
public:
    explicit SearchNeedle(const QString &text);
    const QString &text() const { return m_text; }
    // Null when the text holds units that do not fold on their own (surrogates).
    const QString &folded() const { return m_folded; }

private:
    QString m_text;
    QString m_folded;
};

// A text folded once for searching, kept beside the text it was made from: contains() answers as
// QString::contains(needle, Qt::CaseInsensitive) on the text does, with a plain search.
class FoldedText
{
public:
    // Folds the text again when it differs from the one held.
    void update(const QString &text);
    bool contains(const SearchNeedle &needle) const;
    const QString &text() const { return m_source; }
    // The folded text; null when the text holds units that do not fold on their own.
    const QString &folded() const { return m_folded; }

private:
    QString m_source;
    QString m_folded;
    bool m_made = false;
};

// First letter of each word upper case, the rest lower case; words are separated by white space.
QString capitalized(const QString &text);

} // namespace velumark
