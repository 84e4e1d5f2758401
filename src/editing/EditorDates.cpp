#include "editing/EditorDates.h"

#include "store/Clock.h"

namespace velumark::editing::EditorDates {

QDate earliest()
{
    return QDate(1, 1, 1);
}

QDate latest()
{
    return QDate(9999, 12, 31);
}

bool isAllowed(const QDate &day)
{
    return day.isValid() && day >= earliest() && day <= latest();
}

QDate today()
{
    return Clock::now().toLocalTime().date();
}

QDate shownDay(const QDateTime &stored)
{
    const QDate day = stored.isValid() ? stored.toLocalTime().date() : QDate();
    return isAllowed(day) ? day : today();
}

QDateTime storedDate(const QDate &day)
{
    return day.startOfDay();
}

} // namespace velumark::editing::EditorDates
