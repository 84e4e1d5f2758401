#pragma once

#include <QString>

namespace velumark::gui {

// Writes a short report (signal, address, time, stack) into a folder when the process dies of
// SIGSEGV, SIGABRT, SIGBUS, SIGFPE or SIGILL, then lets the signal end the process as it would
// have. Everything the handler needs is prepared by install(); the handler itself only makes
// async-signal-safe calls.
class CrashHandler
{
public:
    // Creates the folder and installs the handler; false when the folder cannot be made.
    static bool install(const QString &reportFolder);
};

} // namespace velumark::gui
