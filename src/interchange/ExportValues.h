#pragma once

#include <QString>

namespace velumark {

// How exported files write values, in the user's locale. Safe to use from a worker thread.
class ExportValues
{
public:
    // The name and version that exported files say they were written by.
    static QString applicationName();
    static QString applicationVersion();

    // Exactly two decimals with the locale's decimal separator and no grouping ("1234.50").
    static QString money(double amount);
    // The number, a blank and the unit word ("3 hours"); without a word the blank still ends it.
    static QString amountWithUnit(qint64 amount, const QString &unitWord);
};

} // namespace velumark
