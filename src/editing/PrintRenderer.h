#pragma once

#include "editing/PageGeometry.h"
#include "editing/PrintFonts.h"
#include "editing/PrintLayout.h"
#include "editing/PrintOptions.h"
#include "editing/PrintPictures.h"
#include "editing/PrintRows.h"
#include "editing/SheetLines.h"
#include "store/Result.h"

#include <QFontMetricsF>
#include <QPageRanges>
#include <functional>
#include <memory>
#include <optional>

class QPagedPaintDevice;
class QPainter;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::editing {

// Draws a printout onto any paint device (a printer, a print preview, a PDF writer, a picture),
// one page at a time, so that a printout of thousands of pages holds no more than one page.
// Each page carries the header "Exported from Velumark v1.3 on <date and time> - (page/pages)";
// list pages show their rows with the pictures, sheets their numbered lines.
// The record of a sheet is read when the renderer is made (stored fields are loaded first).
// Main thread only; the document and the record must outlive the renderer.
class PrintRenderer
{
public:
    PrintRenderer(VelumarkDatabase &document, const PrintOptions &options, const PageGeometry &page);
    ~PrintRenderer();
    PrintRenderer(const PrintRenderer &) = delete;
    PrintRenderer &operator=(const PrintRenderer &) = delete;

    const PrintLayout &layout() const { return *m_layout; }
    int pageCount() const { return m_layout->pageCount(); }
    // The table of lines of a sheet; null for a list.
    const SheetLines *sheet() const { return m_sheet ? &*m_sheet : nullptr; }
    const PrintRows &rows() const { return m_rows; }
    // The header of a page (0 for the first).
    QString headerText(int page) const;

    // Draws a page (0 for the first) with the painter, whose coordinates must start at the top-left
    // corner of the paper (a printer in full-page mode); the resolution of its device is followed.
    void drawPage(QPainter &painter, int page);
    // Draws the pages in the ranges (1-based; every page for empty ranges) onto the device the
    // painter is active on, starting a new page before each but the first. `carryOn`, when given,
    // is told how many pages are done of how many before each page and may stop the printout.
    Result<> drawPages(QPainter &painter, QPagedPaintDevice &device, const QPageRanges &pages = {},
                       const std::function<bool(int done, int total)> &carryOn = {});

private:
    struct Font
    {
        explicit Font(const QFont &face) : font(face), metrics(face) {}
        QFont font;
        QFontMetricsF metrics;
    };

    // The dates of the rows are written in the texts' context (taken once for many pages).
    void drawPage(QPainter &painter, int page, const Submission::TextContext &texts);
    void readPicturesAhead(int page);
    void drawHeader(QPainter &painter, int page) const;
    void drawListRow(QPainter &painter, const PrintRow &row, qsizetype index, const QRectF &frame);
    void drawArtworkRow(QPainter &painter, const PrintRow &row, const QRectF &frame, double textX);
    void drawOutstandingRow(QPainter &painter, const PrintRow &row, const QRectF &frame);
    void drawOutstandingTitle(QPainter &painter) const;
    void drawSheetLine(QPainter &painter, qsizetype number, const QRectF &frame, int placesLeft);
    void drawPhotos(QPainter &painter, const QRectF &frame, int placesLeft);
    void drawThumbnail(QPainter &painter, Image *image, const QRectF &box);
    // One line of text with its top at the point, cut short with an ellipsis where it would
    // pass the width; returns what was drawn.
    static QString drawText(QPainter &painter, const Font &font, const QPointF &topLeft, double width,
                            const QString &text);
    // How far the columns of a list row move right on paper wider than a portrait page.
    double extraWidth() const;

    PrintOptions m_options;
    PageGeometry m_page;
    PrintFonts m_fonts;
    Font m_header;
    Font m_listMain;
    Font m_listSmall;
    Font m_label;
    Font m_value;
    Font m_small;
    PrintRows m_rows;
    std::optional<SheetLines> m_sheet;
    std::unique_ptr<PrintLayout> m_layout;
    PrintPictures m_pictures;
    // The pictures of the rows being read ahead (kept to spare an allocation per page).
    std::vector<Image *> m_pictureRows;
    // "Exported from Velumark v1.3 on <when the printout was made>".
    QString m_exported;
};

} // namespace velumark::editing
