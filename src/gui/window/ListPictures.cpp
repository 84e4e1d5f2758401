#include "gui/window/ListPictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace velumark::gui {

namespace {
// Strips are rendered this wide and stretched sideways.
constexpr int kStripWidth = 8;
constexpr int kShadowOffset = 1;
const QColor kBandTitle(Qt::white);
const QColor kBandShadow(0, 0, 0, 150);
} // namespace

const QPixmap &ListPictures::statusIcon(const QString &name, qreal pixelRatio)
{
    return rendered(name, kStatusIconSide, kStatusIconSide, pixelRatio);
}

const QPixmap &ListPictures::strip(const QString &name, int height, qreal pixelRatio)
{
    return rendered(name, kStripWidth, height, pixelRatio);
}

const QPixmap &ListPictures::rendered(const QString &name, int width, int height, qreal pixelRatio)
{
    const Key key{name, width, height, static_cast<int>(std::lround(pixelRatio * 100))};
    const auto found = m_pixmaps.find(key);
    if (found != m_pixmaps.end())
        return found->second;
    QPixmap &pixmap = m_pixmaps[key];
    QSvgRenderer renderer(QStringLiteral(":/velumark/icons/%1.svg").arg(name));
    if (!renderer.isValid() || width <= 0 || height <= 0)
        return pixmap;
    renderer.setAspectRatioMode(Qt::IgnoreAspectRatio);
    pixmap = QPixmap(QSize(std::lround(width * pixelRatio), std::lround(height * pixelRatio)));
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(pixelRatio);
    return pixmap;
}

QFont ListPictures::boldFont(QFont font)
{
    font.setBold(true);
    return font;
}

void ListPictures::paintBand(QPainter &painter, const QRect &band, const QRect &titleArea,
                             const QString &title, const QFont &titleFont, const QFontMetrics &titleMetrics,
                             qreal opacity)
{
    const qreal previousOpacity = painter.opacity();
    painter.setOpacity(opacity);
    painter.drawPixmap(band, strip(QStringLiteral("section_background"), band.height(),
                                   painter.device()->devicePixelRatioF()));
    painter.setOpacity(previousOpacity);
    if (title.isEmpty() || titleArea.width() <= 0)
        return;
    painter.setFont(titleFont);
    const QString shown = titleMetrics.elidedText(title, Qt::ElideRight, titleArea.width());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setPen(kBandShadow);
    painter.drawText(titleArea.translated(0, kShadowOffset), flags, shown);
    painter.setPen(kBandTitle);
    painter.drawText(titleArea, flags, shown);
}

} // namespace velumark::gui
