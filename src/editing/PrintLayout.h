#pragma once

#include "editing/PrintOptions.h"

#include <QRectF>

namespace velumark::editing {

// How a printout falls into pages. Everything is drawn in lines of one height inside the printed
// area. A list page shows the header above its rows, which begin kListTop below the top of the
// area, and holds as many whole rows as fit beneath it. A sheet is a sequence of numbered lines;
// each page keeps its first two lines free for the header and carries the next ones.
class PrintLayout
{
public:
    static constexpr double kListTop = 40;
    static constexpr int kHeaderLines = 2;

    // The row height of a list screen; a sheet's lines are 1.7 times the cap height of its font.
    static double listLineHeight(PrintScreen screen);
    static double sheetLineHeight(double capHeight) { return 1.7 * capHeight; }

    // total: the rows of a list, or the lines of a sheet.
    PrintLayout(PrintScreen screen, const QRectF &printRect, double lineHeight, qsizetype total);

    PrintScreen screen() const { return m_screen; }
    const QRectF &printRect() const { return m_printRect; }
    double lineHeight() const { return m_lineHeight; }
    qsizetype total() const { return m_total; }
    // Rows of a list page, or lines of a sheet page counting the two header lines.
    int linesPerPage() const { return m_linesPerPage; }
    // At least one: an empty list, or a page too short for any row or sheet line, prints the
    // header alone.
    int pageCount() const { return m_pageCount; }

    // The rows or sheet lines a page carries, in order.
    struct Span
    {
        qsizetype first = 0;
        qsizetype count = 0;
    };
    Span itemsOfPage(int page) const;
    // Where the item at this place of its page is drawn (0 for the page's first row or line).
    QRectF itemFrame(int place) const;
    // How many items of a page fit from this place on to the bottom of the printed area.
    int placesFrom(int place) const { return itemsPerPage() - place; }

private:
    int itemsPerPage() const;

    PrintScreen m_screen;
    QRectF m_printRect;
    double m_lineHeight;
    qsizetype m_total;
    int m_linesPerPage = 0;
    int m_pageCount = 1;
};

} // namespace velumark::editing
