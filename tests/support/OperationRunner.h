#pragma once

#include "interchange/LongOperation.h"

#include <QString>

namespace velumark::test {

struct OperationRun
{
    bool started = false;
    int result = -1;
    QString message; // or the reason it did not start
};

// Starts the operation and runs the event loop until it has finished (or a minute passed).
// `abortAt`: asks the operation to stop as soon as the progress reaches that percentage.
OperationRun runOperation(LongOperation &operation, double abortAt = -1);

} // namespace velumark::test
