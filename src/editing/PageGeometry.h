#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>

namespace velumark::editing {

// The paper a printout is laid out on, in points (1/72 inch) with y growing downwards: the
// sheet, the part of it the printer can reach, and the margins of the page setup. The printed
// area keeps a third or so of the margins' room free: a half of the left and right margins and
// a 3.5th of the top and bottom ones.
struct PageGeometry
{
    QSizeF paper;
    QRectF imageable;
    QMarginsF margins;

    QRectF printRect() const;

    static PageGeometry fromPageLayout(const QPageLayout &layout);
    // The page a catalogue prints on until its page setup says otherwise: A4, or Letter where
    // the locale uses US paper, portrait, margins of 1 inch beside and 1.25 inches above and
    // below the text.
    static QPageLayout defaultPageLayout();
    // The page setup turned to the orientation, in full-page mode: a painter on a device with
    // this layout starts at the paper's top-left corner, as the renderer expects.
    static QPageLayout forPrinting(QPageLayout pageSetup, QPageLayout::Orientation orientation);
};

} // namespace velumark::editing
