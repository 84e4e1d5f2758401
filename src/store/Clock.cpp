#include "store/Clock.h"

#include "store/CalendarArithmetic.h"

#include <atomic>
#include <limits>

namespace velumark {

namespace {

constexpr qint64 kNoFixedNow = std::numeric_limits<qint64>::min();
std::atomic<qint64> fixedNowMsecs{kNoFixedNow};

thread_local int todayScopes = 0;
thread_local QDateTime pinnedToday;

} // namespace

QDateTime Clock::now()
{
    const qint64 fixed = fixedNowMsecs.load();
    if (fixed != kNoFixedNow)
        return QDateTime::fromMSecsSinceEpoch(fixed, Qt::UTC);
    return QDateTime::currentDateTimeUtc();
}

void Clock::setFixedNow(const QDateTime &instant)
{
    fixedNowMsecs = instant.isValid() ? instant.toMSecsSinceEpoch() : kNoFixedNow;
}

void Clock::clearFixedNow()
{
    fixedNowMsecs = kNoFixedNow;
}

QDateTime Clock::today()
{
    if (todayScopes > 0)
        return pinnedToday;
    return CalendarArithmetic::roundDate(now());
}

Clock::TodayScope::TodayScope() : m_outermost(todayScopes == 0)
{
    if (m_outermost)
        pinnedToday = CalendarArithmetic::roundDate(now()).toUTC();
    ++todayScopes;
}

Clock::TodayScope::~TodayScope()
{
    --todayScopes;
    if (m_outermost)
        pinnedToday = QDateTime();
}

} // namespace velumark
