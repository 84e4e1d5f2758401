#include "store/NumberFormatting.h"

#include <QLocale>
#include <cmath>

namespace velumark {

QString moneyString(double amount)
{
    if (!std::isfinite(amount))
        return {};
    // Rounded first, so that an amount that rounds to nothing is "0.00" rather than "-0.00".
    double cents = std::round(amount * 100.0) / 100.0;
    if (!std::isfinite(cents))
        cents = amount;
    if (cents == 0)
        cents = 0;
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(cents, 'f', 2);
}

} // namespace velumark
