#include "interchange/ExportValues.h"

#include <QLocale>

namespace velumark {

QString ExportValues::applicationName()
{
    return QStringLiteral("Velumark");
}

QString ExportValues::applicationVersion()
{
    return QStringLiteral("1.3");
}

QString ExportValues::money(double amount)
{
    // No grouping, so that spreadsheets and the CSV import read the amount back as it was.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(amount, 'f', 2);
}

QString ExportValues::amountWithUnit(qint64 amount, const QString &unitWord)
{
    return QString::number(amount) + QLatin1Char(' ') + unitWord;
}

} // namespace velumark
