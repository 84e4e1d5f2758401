#pragma once

#include "store/Result.h"

#include <QString>
#include <chrono>
#include <functional>
#include <vector>

namespace velumark {
class LongOperation;
}

namespace velumark::bench {

// Seconds taken by one call.
template <typename F> double timed(F &&work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Repeated measurements of one figure. The machine is shared, so the figure reported is the
// fastest run: the one least disturbed by other work.
struct Runs
{
    std::vector<double> seconds;
    void add(double s) { seconds.push_back(s); }
    double best() const;
    double median() const;
};

// Starts the operation and runs the event loop until it has finished; fails with the reason
// when it did not complete.
Result<> runOperation(LongOperation &operation);

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when it cannot be read.
qint64 statusKiB(const char *field);

// Removes a file or a folder with everything in it; nothing when absent.
void removePath(const QString &path);
qint64 fileSize(const QString &path);

// The value after `name` on the command line ("--data DIR"), or `fallback` when it is not given.
QString optionValue(const QString &name, const QString &fallback = {});
// How many runs --runs N asks for (at least one), or `fallback`.
int runsOption(int fallback);

// A benchmark's surroundings, set after the application object is made: settings, caches and data
// under `home` (never the user's), the application's names, and the en_US locale (Qt's and ICU's)
// the figures are worded in. The preferences are kept in `preferencesFile`, by default in `home`.
void configureRun(const QString &home, const QString &preferencesFile = {});

// Prints a line to standard error at once (the progress of a long run).
void note(const QString &text);

} // namespace velumark::bench
