#include "gui/editors/DateField.h"

#include "editing/EditorDates.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>

namespace velumark::gui {

namespace {

// The locale's short date with the year in full: a field that takes thousands of years cannot
// show two digits of them.
QString fullYearFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression shortYear(QStringLiteral("y+"));
    format.replace(shortYear, QStringLiteral("yyyy"));
    return format;
}

// A date field cannot go below this day.
QDate firstDayShown()
{
    return QDate(100, 1, 1);
}

} // namespace

DateField::DateField(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(fullYearFormat());
    setDateRange(std::max(editing::EditorDates::earliest(), firstDayShown()), editing::EditorDates::latest());
    setCalendarPopup(true);
}

void DateField::setBlank(bool blank)
{
    if (blank == m_blank)
        return;
    m_blank = blank;
    setEnabled(!blank);
    // The shown text is made again only for a new date: step away and back without a word.
    const QSignalBlocker quiet(this);
    const QDate day = date();
    setDate(day == maximumDate() ? day.addDays(-1) : day.addDays(1));
    setDate(day);
}

void DateField::showDate(const QDate &day)
{
    const QSignalBlocker quiet(this);
    setDate(day);
}

QString DateField::textFromDateTime(const QDateTime &dateTime) const
{
    return m_blank ? QString() : QDateEdit::textFromDateTime(dateTime);
}

} // namespace velumark::gui
