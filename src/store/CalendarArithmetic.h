#pragma once

#include <QDateTime>

namespace velumark {

// Days and calendar units in the user's time zone and the Gregorian calendar: what every date
// shown, compared or computed goes through.
class CalendarArithmetic
{
public:
    // Start of the date's day (local midnight; the first valid instant on a day whose midnight
    // falls in a daylight-saving gap). Null for a null date.
    static QDateTime roundDate(const QDateTime &date);
    // The date moved back or forward by amount units of 1 day, 2 week, 3 month or 4 year, in the
    // local calendar (the day is clamped at month ends). Unit 0 gives a null date; any other unit
    // gives the date unchanged. A result beyond the calendar is null.
    static QDateTime subtractInterval(qint64 amount, const QDateTime &date, qint64 units);
    static QDateTime addInterval(qint64 amount, const QDateTime &date, qint64 units);

    // Whole calendar days from one date to a later one, truncated; 0 when `to` is not after
    // `from` or either is null.
    static qint64 wholeDaysBetween(const QDateTime &from, const QDateTime &to);

    // An instant taken apart in local time once, so that wholeDaysBetween can be answered for many
    // pairs without converting each again. `usable` is false for a null date or one whose local
    // date cannot be had; wholeDaysBetween on such a value must use the dates themselves.
    struct LocalDay
    {
        bool usable = false;
        qint64 msecs = 0;     // since 1970, UTC
        qint64 julianDay = 0; // of the local date
        int msecsOfDay = 0;   // of the local time
    };
    static LocalDay localDay(const QDateTime &date);
    // The same answer as wholeDaysBetween on the two dates; both must be usable.
    static qint64 wholeDaysBetween(const LocalDay &from, const LocalDay &to);
};

} // namespace velumark
