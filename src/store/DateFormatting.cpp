#include "store/DateFormatting.h"

#include <QLocale>
#include <QTimeZone>
#include <map>
#include <memory>
#include <tuple>
#include <unicode/udat.h>

namespace velumark {

namespace {

struct FormatCloser
{
    void operator()(UDateFormat *format) const { udat_close(format); }
};
using FormatHandle = std::unique_ptr<UDateFormat, FormatCloser>;

enum class Style
{
    MediumDate,
    MediumDateTime,
    ShortDate,
    Pattern
};

thread_local int zoneScopes = 0;
thread_local QByteArray pinnedZone;

QByteArray currentZone()
{
    return zoneScopes > 0 ? pinnedZone : QTimeZone::systemTimeZoneId();
}

// ICU formatters are not safe to share between threads; each thread keeps its own,
// by locale, time zone, style and pattern.
UDateFormat *formatter(Style style, const QString &pattern = {})
{
    using Key = std::tuple<QString, QByteArray, int, QString>;
    thread_local std::map<Key, FormatHandle> cache;
    const QString localeName = QLocale().name();
    const QByteArray zone = currentZone();
    Key key{localeName, zone, static_cast<int>(style), pattern};
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second.get();

    const QString zoneText = QString::fromUtf8(zone);
    UErrorCode status = U_ZERO_ERROR;
    UDateFormat *format = nullptr;
    const QByteArray locale = localeName.toUtf8();
    const auto *zoneChars = reinterpret_cast<const UChar *>(zoneText.utf16());
    const auto zoneLength = static_cast<int32_t>(zoneText.size());
    switch (style) {
    case Style::MediumDate:
        format =
            udat_open(UDAT_NONE, UDAT_MEDIUM, locale.constData(), zoneChars, zoneLength, nullptr, 0, &status);
        break;
    case Style::MediumDateTime:
        format = udat_open(UDAT_MEDIUM, UDAT_MEDIUM, locale.constData(), zoneChars, zoneLength, nullptr, 0,
                           &status);
        break;
    case Style::ShortDate:
        format =
            udat_open(UDAT_NONE, UDAT_SHORT, locale.constData(), zoneChars, zoneLength, nullptr, 0, &status);
        break;
    case Style::Pattern:
        format = udat_open(UDAT_PATTERN, UDAT_PATTERN, locale.constData(), zoneChars, zoneLength,
                           reinterpret_cast<const UChar *>(pattern.utf16()),
                           static_cast<int32_t>(pattern.size()), &status);
        break;
    }
    if (U_FAILURE(status)) {
        udat_close(format);
        return nullptr;
    }
    return cache.emplace(std::move(key), FormatHandle(format)).first->second.get();
}

QString format(UDateFormat *fmt, const QDateTime &date)
{
    if (!date.isValid() || !fmt)
        return {};
    UChar buffer[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        udat_format(fmt, static_cast<UDate>(date.toMSecsSinceEpoch()), buffer, 128, nullptr, &status);
    if (U_FAILURE(status) || length > 128)
        return {};
    return QString(reinterpret_cast<const QChar *>(buffer), length);
}

QString format(Style style, const QDateTime &date)
{
    return date.isValid() ? format(formatter(style), date) : QString();
}

// The locale's short date pattern with its year written in full.
QString shortDatePatternWithFullYear()
{
    UDateFormat *shortFormat = formatter(Style::ShortDate);
    if (!shortFormat)
        return QStringLiteral("yyyy-MM-dd");
    UChar buffer[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = udat_toPattern(shortFormat, false, buffer, 128, &status);
    if (U_FAILURE(status) || length > 128)
        return QStringLiteral("yyyy-MM-dd");
    QString pattern(reinterpret_cast<const QChar *>(buffer), length);
    if (!pattern.contains(QLatin1String("yyyy")))
        pattern.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return pattern;
}

QDateTime parse(UDateFormat *fmt, const QString &text)
{
    if (!fmt || text.isEmpty())
        return {};
    udat_setLenient(fmt, false);
    UErrorCode status = U_ZERO_ERROR;
    int32_t position = 0;
    const UDate when = udat_parse(fmt, reinterpret_cast<const UChar *>(text.utf16()),
                                  static_cast<int32_t>(text.size()), &position, &status);
    if (U_FAILURE(status) || position != text.size())
        return {};
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(when), Qt::UTC);
}

} // namespace

TimeZoneScope::TimeZoneScope() : m_outermost(zoneScopes == 0)
{
    if (m_outermost)
        pinnedZone = QTimeZone::systemTimeZoneId();
    ++zoneScopes;
}

TimeZoneScope::~TimeZoneScope()
{
    --zoneScopes;
    if (m_outermost)
        pinnedZone.clear();
}

QString mediumDateString(const QDateTime &date)
{
    return format(Style::MediumDate, date);
}

QString mediumDateTimeString(const QDateTime &date)
{
    return format(Style::MediumDateTime, date);
}

QString shortDateString(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return format(formatter(Style::Pattern, shortDatePatternWithFullYear()), date);
}

QString yearString(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    return QString::number(date.toLocalTime().date().year()).rightJustified(4, QLatin1Char('0'));
}

QDateTime parseDateWithPattern(const QString &text, const QString &pattern)
{
    return parse(formatter(Style::Pattern, pattern), text);
}

QDateTime parseMediumDate(const QString &text)
{
    return parse(formatter(Style::MediumDate), text);
}

} // namespace velumark
