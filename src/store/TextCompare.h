#pragma once

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

// First letter of each word upper case, the rest lower case; words are separated by white space.
QString capitalized(const QString &text);

} // namespace velumark
