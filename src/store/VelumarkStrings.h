#pragma once

#include <QStringList>

namespace velumark {

// The display strings of every stored code, localized and built once per process.
// Each list is indexed by the stored code, or by code - 1 where the code has no "none" value.
// Safe to read from any thread.
class VelumarkStrings
{
public:
    static const QStringList &stateStrings();                         // submission outcome, by code 0..6
    static const QStringList &typeStrings();                          // submission type, by code 0..6
    static const QStringList &clientStrings();                        // client type, by code 0..7
    static const QStringList &effortStrings();                        // by effort unit code - 1
    static const QStringList &pluralEffortStrings();                  // by effort unit code - 1
    static const QStringList &effortStringsWithInvalid();             // " ", then by code
    static const QStringList &pluralEffortStringsWithInvalid();       // " ", then by code
    static const QStringList &responseTimeStrings();                  // by time unit code - 1
    static const QStringList &pluralResponseTimeStrings();            // by time unit code - 1
    static const QStringList &responseTimeStringsWithInvalid();       // " ", then by code
    static const QStringList &pluralResponseTimeStringsWithInvalid(); // " ", then by code

    // The icon of a submission outcome (the artwork status), or an empty string outside 0..6.
    static QString stateIconName(qint64 state);

    // "hour" for an amount of 1, "hours" otherwise; empty when the code has no word.
    static QString effortUnitWord(qint64 amount, qint64 unitCode);
    static QString responseTimeUnitWord(qint64 amount, qint64 unitCode);

    // The entry at index, or an empty string when the index lies outside the list.
    static QString entry(const QStringList &list, qint64 index);
};

// Codes stored in the database.
namespace ResponseFlag {
constexpr qint64 Waiting = 0;
constexpr qint64 Received = 1;
constexpr qint64 Withdrawn = 2;
} // namespace ResponseFlag

namespace SubmissionState {
constexpr qint64 Returned = 0;
constexpr qint64 Sold = 1;
constexpr qint64 Published = 2;
constexpr qint64 Reserved = 3;
constexpr qint64 Exhibiting = 4;
constexpr qint64 Donated = 5;
constexpr qint64 Gifted = 6;
} // namespace SubmissionState

namespace TimeUnit {
constexpr qint64 None = 0;
constexpr qint64 Day = 1;
constexpr qint64 Week = 2;
constexpr qint64 Month = 3;
constexpr qint64 Year = 4;
} // namespace TimeUnit

} // namespace velumark
