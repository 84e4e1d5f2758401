#pragma once

#include <QDateTime>

namespace velumark {

// Dates are stored as seconds since 1 January 1970 UTC, as a real number.
// Values that are not finite or lie beyond any calendar date read as no date (a null QDateTime),
// so that nothing read from a file can overflow a conversion.
QDateTime dateFromStoredSeconds(double seconds);
// A null date is stored as 0.
double storedSecondsFromDate(const QDateTime &date);

} // namespace velumark
