#pragma once

#include <QString>

namespace velumark {

// Why a download or upload failed: the error's code and its description.
struct TransferError
{
    qint64 code = 0;
    QString description;
};

} // namespace velumark
