#pragma once

#include <QDateTime>

namespace velumark {

// "Now" for every rule that depends on it (overdue submissions, near deadlines, export dates),
// from one place that tests can set.
class Clock
{
public:
    // The real clock, or a fixed instant set by tests. Safe from any thread.
    static QDateTime now();
    static void setFixedNow(const QDateTime &instant);
    static void clearFixedNow();

    // The start of today: roundDate(now()). While a TodayScope lives on the calling thread, the
    // answer is the one it took when it began (as a UTC instant), so that an operation asking for
    // every record at once converts the time only once.
    static QDateTime today();
    class TodayScope
    {
    public:
        TodayScope();
        ~TodayScope();
        TodayScope(const TodayScope &) = delete;
        TodayScope &operator=(const TodayScope &) = delete;

    private:
        bool m_outermost;
    };
};

} // namespace velumark
