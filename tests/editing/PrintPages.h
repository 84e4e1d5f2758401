#pragma once

#include <QPageLayout>

namespace velumark::test {

// A page whose sheet lines, of the height the renderer uses, come `lines` to a page.
QPageLayout pageOfSheetLines(int lines);
// A page whose list holds `rows` rows of that height.
QPageLayout pageOfListRows(double rowHeight, int rows);

} // namespace velumark::test
