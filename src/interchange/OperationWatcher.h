#pragma once

#include <QMetaType>
#include <QString>

namespace velumark {

// How a long operation (import, export, CSV, report, transfer) ended.
enum class OperationResult
{
    Done,
    Cancelled,
    Failed
};

// Watches one long operation: the dialogs' progress windows and the command line's progress bar
// implement it. Every call arrives on the thread that owns the operation (the main thread).
class OperationWatcher
{
public:
    virtual ~OperationWatcher() = default;
    // 0 to 100.
    virtual void progressUpdate(double percent) = 0;
    // message explains a failure, or says what a finished operation left out (a warning); it is
    // empty otherwise.
    virtual void operationFinished(OperationResult result, const QString &message) = 0;
};

} // namespace velumark

Q_DECLARE_METATYPE(velumark::OperationResult)
