#include "editing/PrintLayout.h"

#include "editing/PageGeometry.h"
#include "editing/PrintFonts.h"
#include "editing/WrappedText.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace velumark::editing {
namespace {

TEST(PrintLayout, ListPagesHoldWholeRowsBelowTheHeader)
{
    // 40 points of header and room for 6.5 rows of artworks.
    const QRectF area(36, 25, 523, 40 + 6.5 * 120);
    const PrintLayout list(PrintScreen::Artworks, area, 120, 25);
    EXPECT_EQ(list.linesPerPage(), 6);
    EXPECT_EQ(list.pageCount(), 5);
    EXPECT_EQ(list.itemsOfPage(1).first, 6);
    EXPECT_EQ(list.itemsOfPage(1).count, 6);
    EXPECT_EQ(list.itemsOfPage(4).first, 24);
    EXPECT_EQ(list.itemsOfPage(4).count, 1);
    EXPECT_EQ(list.itemsOfPage(5).count, 0);
    EXPECT_DOUBLE_EQ(list.itemFrame(0).top(), 65);
    EXPECT_DOUBLE_EQ(list.itemFrame(2).top(), 65 + 240);
    // The last row of a page ends inside the printed area, not in the margin below it.
    EXPECT_LE(list.itemFrame(list.linesPerPage() - 1).bottom(), area.bottom());
    EXPECT_EQ(PrintLayout(PrintScreen::Artworks, area, 120, 24).pageCount(), 4);
    EXPECT_EQ(PrintLayout(PrintScreen::Clients, area, 43, 25).linesPerPage(), 18);
}

TEST(PrintLayout, SheetPagesGiveTwoLinesToTheHeader)
{
    const double line = 13.5;
    const QRectF area(36, 25, 523, 10.4 * line);
    const PrintLayout sheet(PrintScreen::SubmissionSheet, area, line, 23);
    EXPECT_EQ(sheet.linesPerPage(), 10);
    EXPECT_EQ(sheet.pageCount(), 3);
    EXPECT_EQ(sheet.itemsOfPage(0).count, 8);
    EXPECT_EQ(sheet.itemsOfPage(1).first, 8);
    EXPECT_EQ(sheet.itemsOfPage(2).first, 16);
    EXPECT_EQ(sheet.itemsOfPage(2).count, 7);
    EXPECT_DOUBLE_EQ(sheet.itemFrame(0).top(), 25 + 2 * line);
    EXPECT_EQ(sheet.placesFrom(0), 8);
    EXPECT_EQ(sheet.placesFrom(5), 3);
    EXPECT_EQ(PrintLayout(PrintScreen::SubmissionSheet, area, line, 24).pageCount(), 3);
    EXPECT_EQ(PrintLayout(PrintScreen::SubmissionSheet, area, line, 25).pageCount(), 4);
}

TEST(PrintLayout, EmptyListsAndPagesTooShortPrintTheHeaderAlone)
{
    const QRectF tall(0, 0, 500, 700);
    const PrintLayout empty(PrintScreen::Submissions, tall, 80, 0);
    EXPECT_EQ(empty.pageCount(), 1);
    EXPECT_EQ(empty.itemsOfPage(0).count, 0);
    // Two sheet lines are all header; too short for a row; no height at all.
    for (const PrintLayout &layout :
         {PrintLayout(PrintScreen::ArtworkSheet, QRectF(0, 0, 500, 2.5 * 13), 13, 40),
          PrintLayout(PrintScreen::Artworks, QRectF(0, 0, 500, 150), 120, 40),
          PrintLayout(PrintScreen::ClientSheet, QRectF(0, 0, 500, 0), 13, 40),
          PrintLayout(PrintScreen::Clients, tall, 0, 40)}) {
        EXPECT_EQ(layout.pageCount(), 1);
        EXPECT_EQ(layout.itemsOfPage(0).count, 0);
    }
    const PrintLayout huge(PrintScreen::ClientSheet, QRectF(0, 0, 500, 30.5 * 10), 10, 1000000);
    EXPECT_EQ(huge.pageCount(), 1000000 / 28 + 1);
}

TEST(PageGeometry, ThePrintedAreaKeepsPartOfTheMarginsAndFollowsTheOrientation)
{
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(72, 90, 36, 70),
                         QPageLayout::Point);
    const QRectF area = PageGeometry::fromPageLayout(a4).printRect();
    EXPECT_NEAR(area.left(), 36, 0.01);
    EXPECT_NEAR(area.top(), 90 / 3.5, 0.01);
    EXPECT_NEAR(area.right(), 595 - 18, 0.5);
    EXPECT_NEAR(area.bottom(), 842 - 20, 0.5);
    QPageLayout millimetres = a4;
    millimetres.setUnits(QPageLayout::Millimeter);
    EXPECT_NEAR(PageGeometry::fromPageLayout(millimetres).printRect().width(), area.width(), 0.5);
    const QPageLayout across = PageGeometry::forPrinting(a4, QPageLayout::Landscape);
    EXPECT_EQ(across.mode(), QPageLayout::FullPageMode);
    EXPECT_NEAR(PageGeometry::fromPageLayout(across).paper.width(), 842, 0.5);
    EXPECT_EQ(PageGeometry::defaultPageLayout().pageSize().id(), QPageSize::Letter)
        << "the tests run in en_US";
}

TEST(WrappedText, BreaksAtLineBreaksAndWithinWordsTooLongForTheWidth)
{
    const QFont font = PrintFonts().value();
    const QFontMetricsF metrics(font);
    EXPECT_EQ(WrappedText(QString(), font, 200).lineCount(), 0);
    const WrappedText lines(QStringLiteral("North wall\r\nsecond shelf\n\nbox 3"), font, 400);
    ASSERT_EQ(lines.lineCount(), 4);
    EXPECT_EQ(lines.lineText(1), QStringLiteral("second shelf"));
    EXPECT_EQ(lines.lineText(2), QString());
    EXPECT_EQ(lines.lineText(4), QString());

    const QString word(300, QLatin1Char('W'));
    const WrappedText broken(word, font, 150);
    EXPECT_GT(broken.lineCount(), 1);
    QString joined;
    for (int k = 0; k < broken.lineCount(); ++k) {
        EXPECT_LE(metrics.horizontalAdvance(broken.lineText(k)), 150.5) << k;
        joined += broken.lineText(k);
    }
    EXPECT_EQ(joined, word);
}

} // namespace
} // namespace velumark::editing
