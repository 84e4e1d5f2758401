#include "editing/StatusMarks.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace velumark::editing {

namespace {

struct Mark
{
    const char *iconName;
    char16_t sign;
};

// Signs every common sans-serif face carries.
constexpr Mark kMarks[] = {
    {"returned_icon", u'\u21A9'},  // leftwards arrow with hook
    {"dollarsign_icon", u'$'},     //
    {"published_icon", u'\u00B6'}, // pilcrow
    {"reserved_icon", u'R'},       //
    {"exhibited_icon", u'\u2605'}, // black star
    {"donated_icon", u'\u2665'},   // heart
    {"gifted_icon", u'+'},         //
};

} // namespace

bool StatusMarks::draw(QPainter &painter, const QRectF &box, const QString &iconName)
{
    const Mark *mark = nullptr;
    for (const Mark &candidate : kMarks) {
        if (iconName == QLatin1String(candidate.iconName))
            mark = &candidate;
    }
    if (!mark)
        return false;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(box);
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(box.height() * 0.7)));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QString(QChar(mark->sign)));
    painter.restore();
    return true;
}

} // namespace velumark::editing
