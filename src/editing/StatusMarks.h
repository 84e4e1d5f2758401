#pragma once

#include <QString>

class QPainter;
class QRectF;

namespace velumark::editing {

// The small marks a printed artwork row shows for the outcome of its latest submission
// ("dollarsign_icon" for a sale...) and for a piece that was exhibited: a dark disc with a white
// sign, legible on a black-and-white printer.
class StatusMarks
{
public:
    // False (nothing drawn) for a name without a mark.
    static bool draw(QPainter &painter, const QRectF &box, const QString &iconName);
};

} // namespace velumark::editing
