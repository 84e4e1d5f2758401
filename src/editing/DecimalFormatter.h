#pragma once

#include <QLocale>
#include <QString>
#include <QValidator>
#include <optional>

namespace velumark::editing {

// Number entry in the editors' fields. An edit is refused when the text grows longer than the
// style allows (integer digits + fraction digits + the decimal separator when there are fraction
// digits + 2) or holds anything but digits and the locale's grouping and decimal separators, so a
// minus sign is never taken. What passes must then read as a number of the style: no more digits
// than it allows on either side of one decimal separator, no decimal separator where it takes
// whole numbers, no grouping separator where it does not group.
class DecimalFormatter : public QValidator
{
    Q_OBJECT
public:
    struct Style
    {
        int maximumIntegerDigits = 9;
        int maximumFractionDigits = 0;
        bool usesGroupingSeparator = true;

        // Prices, costs, income, commission, pay rate: 9 integer and 2 fraction digits.
        static Style money() { return {9, 2, true}; }
        // An artwork's effort: up to 9 digits, grouped.
        static Style effort() { return {9, 0, true}; }
        // A client's response time: up to 7 digits, not grouped.
        static Style responseTime() { return {7, 0, false}; }

        // The longest text that can be typed (14 for money).
        int maximumLength() const;
    };

    explicit DecimalFormatter(Style style, QObject *parent = nullptr);

    const Style &style() const { return m_style; }

    // The number a text shows; an empty text is 0; none when the text is no number of the style.
    static std::optional<double> number(const QString &text, const Style &style, const QLocale &locale = {});
    // The text a stored number is shown with: its fraction digits, the locale's decimal
    // separator, no grouping ("1234.50").
    static QString text(double value, const Style &style, const QLocale &locale = {});

    State validate(QString &input, int &pos) const override;

private:
    enum class Reading
    {
        Number,
        Incomplete, // no digit yet
        NotANumber
    };
    static Reading read(const QString &text, const Style &style, const QLocale &locale,
                        QString *plain = nullptr);

    Style m_style;
};

} // namespace velumark::editing
