#pragma once

#include <QPixmap>
#include <QString>
#include <map>
#include <tuple>

class QFont;
class QFontMetrics;
class QPainter;
class QRect;

namespace velumark::gui {

// The pictures the lists draw from our SVG resources (status icons, the section band, the
// highlighted row background), rendered once per size and pixel ratio and kept.
class ListPictures
{
public:
    static constexpr int kStatusIconSide = 15;

    // The status icon of that name ("dollarsign_icon"); a null pixmap for an unknown name.
    const QPixmap &statusIcon(const QString &name, qreal pixelRatio);
    // A background that changes only from top to bottom, rendered for that height: drawn stretched
    // to any width ("section_background", "overdue_cell_background").
    const QPixmap &strip(const QString &name, int height, qreal pixelRatio);

    // The band that starts a section: its background over `band` at the opacity, the title in
    // white with a shadow in `titleArea`, cut with an ellipsis.
    // The band titles' font.
    static QFont boldFont(QFont font);

    void paintBand(QPainter &painter, const QRect &band, const QRect &titleArea, const QString &title,
                   const QFont &titleFont, const QFontMetrics &titleMetrics, qreal opacity = 1.0);

private:
    using Key = std::tuple<QString, int, int, int>; // name, width, height, pixel ratio x 100
    const QPixmap &rendered(const QString &name, int width, int height, qreal pixelRatio);

    std::map<Key, QPixmap> m_pixmaps;
};

} // namespace velumark::gui
