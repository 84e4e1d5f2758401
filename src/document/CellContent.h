#pragma once

#include <QString>

namespace velumark {

class Image;

// What one cell of a list shows: the texts and picture names a list hands to whoever draws or
// prints the row. Null texts are "nothing".
struct CellContent
{
    QString mainText;
    QString subText;
    QString moreSubText;
    QString last1SubText;
    QString last2SubText;
    QString mainExtraColumn;
    QString subExtraColumn;
    Image *image = nullptr;
    double imageDimension = 0;
    QString backgroundImage; // "overdue_cell_background" for overdue or near-deadline rows
    QString statusImage;
    QString statusImage2;
    bool isSectionHeading = false;
    QString sectionHeading;
    double normalCellHeight = 0;
};

// Height of the band above a row that starts a section.
constexpr double kSectionBandHeight = 23;
constexpr const char *kHighlightBackground = "overdue_cell_background";

} // namespace velumark
