#pragma once

#include "interchange/LongOperation.h"

#include <QString>
#include <ostream>

namespace velumark {

// How gtest shows a result in a failed expectation.
inline void PrintTo(OperationResult result, std::ostream *out)
{
    switch (result) {
    case OperationResult::Done:
        *out << "Done";
        return;
    case OperationResult::Cancelled:
        *out << "Cancelled";
        return;
    case OperationResult::Failed:
        *out << "Failed";
        return;
    }
}

} // namespace velumark

namespace velumark::test {

struct OperationRun
{
    bool started = false;
    OperationResult result = OperationResult::Failed; // also when it did not start
    QString message;                                  // or the reason it did not start
};

// Starts the operation and runs the event loop until it has finished (or a minute passed).
// `abortAt`: asks the operation to stop as soon as the progress reaches that percentage.
OperationRun runOperation(LongOperation &operation, double abortAt = -1);

} // namespace velumark::test
