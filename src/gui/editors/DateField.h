#pragma once

#include <QDateEdit>

namespace velumark::gui {

// A day in the editors: the years the editors take (a date field starts at year 100 at the
// earliest), four-digit years in the locale's order, a calendar to pick from, and a blank state
// for "no date" that shows nothing.
class DateField : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateField(QWidget *parent = nullptr);

    bool isBlank() const { return m_blank; }
    // Blank: shows no date and takes no input.
    void setBlank(bool blank);
    // Shows the day without announcing a change.
    void showDate(const QDate &day);

protected:
    QString textFromDateTime(const QDateTime &dateTime) const override;

private:
    bool m_blank = false;
};

} // namespace velumark::gui
