#pragma once

#include "store/Result.h"

#include <QString>

namespace velumark {

// An empty CSV export, for filling in by hand or in a spreadsheet: the comment lines and each
// section's title and column line, in the words the CSV import reads. Written through a staging
// file, so a failure leaves whatever was at the path.
Result<> writeCsvTemplate(const QString &path);

} // namespace velumark
