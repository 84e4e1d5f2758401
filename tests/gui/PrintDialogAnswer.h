#pragma once

#include <QString>

namespace velumark::test {

// Answers the print dialog shown (waiting for it): prints to the PDF file at `file`, only the
// selected rows when `selectionOnly`. False when no dialog came or the choice was not offered.
bool answerPrintDialog(const QString &file, bool selectionOnly = false);

} // namespace velumark::test
