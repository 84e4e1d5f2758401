#pragma once

#include <QString>

namespace velumark {

// Money as printed sheets show it, in the user's locale: thousands grouped, the decimal
// separator always shown and exactly two decimals ("12,345.50"); every integer digit is kept.
// Empty for a value that is not a number or not finite. Safe to call from any thread.
QString moneyString(double amount);

} // namespace velumark
