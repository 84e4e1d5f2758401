#pragma once

#include "interchange/OperationTexts.h"
#include "interchange/OperationWatcher.h"

#include <QString>
#include <optional>

namespace velumark {
class LongOperation;
}

namespace velumark::cli {

// Follows one long operation on the terminal: a progress bar on standard error when it is a
// terminal, Ctrl-C cancels as the dialogs' Cancel button does, and the end is printed with the
// texts the dialogs show.
class ProgressReporter : public OperationWatcher
{
public:
    // The title labels the progress bar.
    explicit ProgressReporter(OperationTexts texts);
    // For an end whose texts are known only when it comes (a device transfer).
    void setTexts(OperationTexts texts) { m_texts = std::move(texts); }

    // Runs the event loop until the operation has finished; returns the exit status.
    int waitFor(LongOperation &operation);

    void progressUpdate(double percent) override;
    void operationFinished(OperationResult result, const QString &message) override;

private:
    OperationTexts m_texts;
    bool m_terminal;
    int m_lastWidth = -1;
    std::optional<OperationResult> m_result;
};

} // namespace velumark::cli
