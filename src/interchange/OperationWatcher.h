#pragma once

#include <QString>

namespace velumark {

// Results of long operations (import, export, CSV, report, transfer).
namespace OperationResult {
constexpr int Done = 0;
constexpr int Cancelled = 1;
constexpr int Failed = 2;
} // namespace OperationResult

// Watches one long operation: the dialogs' progress windows and the command line's progress bar
// implement it. Every call arrives on the thread that owns the operation (the main thread).
class OperationWatcher
{
public:
    virtual ~OperationWatcher() = default;
    // 0 to 100.
    virtual void progressUpdate(double percent) = 0;
    // result is an OperationResult; message explains a failure (empty otherwise).
    virtual void operationFinished(int result, const QString &message) = 0;
};

} // namespace velumark
