#pragma once

#include "interchange/OperationWatcher.h"
#include "interchange/device/TransferError.h"

#include <QString>
#include <optional>

namespace velumark {

// The alert that ends a transfer with a device (always with one "OK" button).
struct TransferAlert
{
    QString title;
    QString text;

    // After the import of a downloaded database; none when it was cancelled.
    static std::optional<TransferAlert> importFinished(OperationResult result);
    // After the database reached the device.
    static TransferAlert exportFinished();
    // A failed download or upload; error is none when the failure came without one.
    static TransferAlert downloadFailed(const std::optional<TransferError> &error);
    static TransferAlert uploadFailed(const std::optional<TransferError> &error);
    // The number an upload failure shows: the uploader's own codes 101 to 199 as they are, 104
    // for anything else (a file that could not be read, a missing error, a foreign code).
    static qint64 uploadErrorNumber(const std::optional<TransferError> &error);
};

} // namespace velumark
