#include "store/CalendarArithmetic.h"

#include <limits>

namespace velumark {

namespace {

QDateTime moveBy(qint64 amount, const QDateTime &date, qint64 units)
{
    if (!date.isValid() || units == 0)
        return {};
    if (units < 1 || units > 4)
        return date;
    // Calendar fields are ints; an amount beyond them cannot give a date anyway.
    constexpr qint64 kMaxAmount = std::numeric_limits<int>::max() / 12;
    if (amount > kMaxAmount || amount < -kMaxAmount)
        return {};
    const QDateTime local = date.toLocalTime();
    const int n = static_cast<int>(amount);
    QDateTime moved;
    switch (units) {
    case 1:
        moved = local.addDays(n);
        break;
    case 2:
        moved = local.addDays(qint64(n) * 7);
        break;
    case 3:
        moved = local.addMonths(n);
        break;
    default:
        moved = local.addYears(n);
        break;
    }
    return moved.isValid() ? moved : QDateTime();
}

} // namespace

QDateTime CalendarArithmetic::roundDate(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return date.toLocalTime().date().startOfDay();
}

QDateTime CalendarArithmetic::subtractInterval(qint64 amount, const QDateTime &date, qint64 units)
{
    if (amount == std::numeric_limits<qint64>::min())
        return {};
    return moveBy(-amount, date, units);
}

QDateTime CalendarArithmetic::addInterval(qint64 amount, const QDateTime &date, qint64 units)
{
    return moveBy(amount, date, units);
}

qint64 CalendarArithmetic::wholeDaysBetween(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid() || to <= from)
        return 0;
    const QDateTime start = from.toLocalTime();
    const QDateTime end = to.toLocalTime();
    qint64 days = start.date().daysTo(end.date());
    if (end.time() < start.time())
        --days;
    return qMax<qint64>(days, 0);
}

CalendarArithmetic::LocalDay CalendarArithmetic::localDay(const QDateTime &date)
{
    LocalDay day;
    if (!date.isValid())
        return day;
    const QDateTime local = date.toLocalTime();
    if (!local.date().isValid() || !local.time().isValid())
        return day;
    day.usable = true;
    day.msecs = date.toMSecsSinceEpoch();
    day.julianDay = local.date().toJulianDay();
    day.msecsOfDay = local.time().msecsSinceStartOfDay();
    return day;
}

qint64 CalendarArithmetic::wholeDaysBetween(const LocalDay &from, const LocalDay &to)
{
    if (to.msecs <= from.msecs)
        return 0;
    qint64 days = to.julianDay - from.julianDay;
    if (to.msecsOfDay < from.msecsOfDay)
        --days;
    return qMax<qint64>(days, 0);
}

} // namespace velumark
