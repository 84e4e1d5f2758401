#pragma once

#include "editing/PrintOptions.h"
#include "store/Result.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QString>
#include <functional>

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::editing {

// A printout written as a PDF file through the print renderer. The file is written beside its
// name and takes the name only once it is complete: a failure or a stop leaves whatever was there
// before, and nothing half-written.
class PdfExport
{
public:
    // The page setup's paper and margins, in the orientation of the options; the pages in the
    // ranges (1-based), every page for empty ranges.
    static Result<> write(VelumarkDatabase &document, const PrintOptions &options,
                          const QPageLayout &pageSetup, const QString &path,
                          const std::function<bool(int done, int total)> &carryOn = {},
                          const QPageRanges &pages = {});
};

} // namespace velumark::editing
