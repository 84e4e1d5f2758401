#pragma once

#include <QDateTime>
#include <QString>

namespace velumark {

// Dates as the user's locale writes them (ICU's medium styles), in the user's time zone.
// Safe to call from any thread.
QString mediumDateString(const QDateTime &date);
QString mediumDateTimeString(const QDateTime &date);
// The locale's short date style with the year in four digits ("3/5/2024", "05.03.2024"), for
// printed sheets where a two-digit year would be ambiguous.
QString shortDateString(const QDateTime &date);
// The four-digit year of the date in the user's time zone ("yyyy").
QString yearString(const QDateTime &date);

// While it lives on the calling thread, dates are written and read in the time zone the system
// had when it began: an operation that formats many dates (a search over every row, an export)
// looks the zone up once instead of for every date. Scopes may nest.
class TimeZoneScope
{
public:
    TimeZoneScope();
    ~TimeZoneScope();
    TimeZoneScope(const TimeZoneScope &) = delete;
    TimeZoneScope &operator=(const TimeZoneScope &) = delete;

private:
    bool m_outermost;
};

// Parses text with an ICU date pattern (e.g. "MMM dd, yyyy") in the user's locale and time zone.
// A null QDateTime when the text does not parse as a whole.
QDateTime parseDateWithPattern(const QString &text, const QString &pattern);
// Parses text written in the medium date style of the user's locale.
QDateTime parseMediumDate(const QString &text);

} // namespace velumark
