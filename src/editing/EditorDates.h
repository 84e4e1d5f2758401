#pragma once

#include <QDate>
#include <QDateTime>

namespace velumark::editing {

// The days the editors show and store: a stored instant is shown as its local day, a chosen day
// is stored as its local start. The date fields take the years 1 to 9999.
namespace EditorDates {

QDate earliest();
QDate latest();
bool isAllowed(const QDate &day);
// The local day of "now" (the clock tests can set).
QDate today();
// The local day of a stored instant, or today for none (or one outside the years taken).
QDate shownDay(const QDateTime &stored);
// The start of the day, as stored.
QDateTime storedDate(const QDate &day);

} // namespace EditorDates

} // namespace velumark::editing
