#include "interchange/device/TransferAlert.h"

#include "interchange/OperationTexts.h"
#include "interchange/OperationWatcher.h"
#include "store/Localization.h"

namespace velumark {

namespace {

QString descriptionOf(const std::optional<TransferError> &error)
{
    return error ? error->description : QStringLiteral("?");
}

} // namespace

std::optional<TransferAlert> TransferAlert::importFinished(OperationResult result)
{
    if (result == OperationResult::Cancelled)
        return std::nullopt;
    const OperationTexts texts = OperationTexts::databaseImport();
    if (result == OperationResult::Done)
        return TransferAlert{texts.doneTitle, texts.doneText};
    return TransferAlert{texts.failedTitle, texts.failedText};
}

TransferAlert TransferAlert::exportFinished()
{
    return {localized("Check Device"),
            localized("Database transferred! Check your device for further instructions.")};
}

TransferAlert TransferAlert::downloadFailed(const std::optional<TransferError> &error)
{
    return {
        localized("WARNING"),
        QStringLiteral("%1\n\n(%2)").arg(localized("Error transferring database!"), descriptionOf(error))};
}

TransferAlert TransferAlert::uploadFailed(const std::optional<TransferError> &error)
{
    return {localized("WARNING"), QStringLiteral("%1\n\n(%2 - %3)")
                                      .arg(localized("Error transferring database!"),
                                           QString::number(uploadErrorNumber(error)), descriptionOf(error))};
}

qint64 TransferAlert::uploadErrorNumber(const std::optional<TransferError> &error)
{
    if (error && error->code >= 101 && error->code <= 199)
        return error->code;
    return 104;
}

} // namespace velumark
