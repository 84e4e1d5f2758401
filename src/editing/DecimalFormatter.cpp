#include "editing/DecimalFormatter.h"

#include <cmath>

namespace velumark::editing {

namespace {

QChar firstCharacter(const QString &separator)
{
    return separator.isEmpty() ? QChar() : separator.at(0);
}

} // namespace

int DecimalFormatter::Style::maximumLength() const
{
    return maximumIntegerDigits + maximumFractionDigits + (maximumFractionDigits != 0 ? 1 : 0) + 2;
}

DecimalFormatter::DecimalFormatter(Style style, QObject *parent) : QValidator(parent), m_style(style) {}

DecimalFormatter::Reading DecimalFormatter::read(const QString &text, const Style &style,
                                                 const QLocale &locale, QString *plain)
{
    const QChar group = firstCharacter(locale.groupSeparator());
    const QChar decimal = firstCharacter(locale.decimalPoint());
    QString digits;
    int integerDigits = 0;
    int fractionDigits = 0;
    bool inFraction = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits.append(c);
            ++(inFraction ? fractionDigits : integerDigits);
        } else if (c == decimal && !inFraction && style.maximumFractionDigits > 0) {
            digits.append(u'.');
            inFraction = true;
        } else if (c == group && !inFraction && style.usesGroupingSeparator) {
            continue;
        } else {
            return Reading::NotANumber;
        }
    }
    if (integerDigits > style.maximumIntegerDigits || fractionDigits > style.maximumFractionDigits)
        return Reading::NotANumber;
    if (plain)
        *plain = digits;
    return integerDigits + fractionDigits == 0 && !text.isEmpty() ? Reading::Incomplete : Reading::Number;
}

std::optional<double> DecimalFormatter::number(const QString &text, const Style &style, const QLocale &locale)
{
    QString plain;
    if (read(text, style, locale, &plain) != Reading::Number)
        return std::nullopt;
    if (plain.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

QString DecimalFormatter::text(double value, const Style &style, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', style.maximumFractionDigits);
}

QValidator::State DecimalFormatter::validate(QString &input, int &) const
{
    if (input.size() > m_style.maximumLength())
        return Invalid;
    const QChar group = firstCharacter(locale().groupSeparator());
    const QChar decimal = firstCharacter(locale().decimalPoint());
    for (const QChar c : input) {
        if (!(c >= u'0' && c <= u'9') && c != group && c != decimal)
            return Invalid;
    }
    switch (read(input, m_style, locale())) {
    case Reading::Number:
        return Acceptable;
    case Reading::Incomplete:
        return Intermediate;
    case Reading::NotANumber:
        break;
    }
    return Invalid;
}

} // namespace velumark::editing
