#include "support/OperationRunner.h"

#include <QEventLoop>
#include <QTimer>

namespace velumark::test {

OperationRun runOperation(LongOperation &operation, double abortAt)
{
    OperationRun run;
    QEventLoop loop;
    QObject::connect(&operation, &LongOperation::progress, &loop, [&](double percent) {
        if (abortAt >= 0 && percent >= abortAt)
            operation.abort();
    });
    QObject::connect(&operation, &LongOperation::finished, &loop,
                     [&](OperationResult result, const QString &message) {
                         run.result = result;
                         run.message = message;
                         loop.quit();
                     });
    if (abortAt == 0)
        operation.abort();
    const Result<> started = operation.start();
    run.started = started.ok();
    if (!run.started) {
        run.message = started.message();
        return run;
    }
    if (abortAt == 0)
        operation.abort();
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return run;
}

} // namespace velumark::test
