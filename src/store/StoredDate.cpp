#include "store/StoredDate.h"

#include <cmath>

namespace velumark {

namespace {
// About 300,000 years either side of 1970: far inside the range of QDateTime and of qint64 milliseconds.
constexpr double kLimitSeconds = 1.0e13;
} // namespace

QDateTime dateFromStoredSeconds(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > kLimitSeconds)
        return {};
    const auto msecs = static_cast<qint64>(std::llround(seconds * 1000.0));
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

double storedSecondsFromDate(const QDateTime &date)
{
    if (!date.isValid())
        return 0.0;
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

} // namespace velumark
