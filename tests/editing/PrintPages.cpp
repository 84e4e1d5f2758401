#include "PrintPages.h"

#include "editing/PrintFonts.h"
#include "editing/PrintLayout.h"

namespace velumark::test {

namespace {

// Margins of 72 points beside and 90 above and below: the printed area keeps 36 and 90/3.5.
constexpr double kSide = 72;
constexpr double kTopBottom = 90;

QPageLayout pageWithPrintedHeight(double height)
{
    const double paperHeight = height + 2 * kTopBottom / 3.5;
    return QPageLayout(
        QPageSize(QSizeF(595, paperHeight), QPageSize::Point, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(kSide, kTopBottom, kSide, kTopBottom), QPageLayout::Point);
}

} // namespace

QPageLayout pageOfSheetLines(int lines)
{
    const double lineHeight = editing::PrintLayout::sheetLineHeight(editing::PrintFonts().capHeight());
    return pageWithPrintedHeight((lines + 0.5) * lineHeight);
}

QPageLayout pageOfListRows(double rowHeight, int rows)
{
    return pageWithPrintedHeight(editing::PrintLayout::kListTop + (rows + 0.5) * rowHeight);
}

} // namespace velumark::test
