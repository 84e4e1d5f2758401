#include "gui/shell/Icons.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <map>
#include <memory>

namespace velumark::gui {

namespace {

// Draws an SVG whose strokes and fills say "currentColor" in the palette's text colour of the
// icon's mode, as the desktop's symbolic icons do.
class PaletteIconEngine : public QIconEngine
{
public:
    explicit PaletteIconEngine(QByteArray svg) : m_svg(std::move(svg)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        renderer(colourFor(mode)).render(painter, QRectF(rect));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QIconEngine *clone() const override { return new PaletteIconEngine(m_svg); }
    QString key() const override { return QStringLiteral("velumark-palette-svg"); }

private:
    static QColor colourFor(QIcon::Mode mode)
    {
        const QPalette palette = QApplication::palette();
        switch (mode) {
        case QIcon::Disabled:
            return palette.color(QPalette::Disabled, QPalette::WindowText);
        case QIcon::Selected:
            return palette.color(QPalette::HighlightedText);
        default:
            return palette.color(QPalette::WindowText);
        }
    }

    QSvgRenderer &renderer(const QColor &colour)
    {
        auto &slot = m_renderers[colour.rgba()];
        if (!slot) {
            QByteArray svg = m_svg;
            svg.replace("currentColor", colour.name(QColor::HexRgb).toLatin1());
            slot = std::make_unique<QSvgRenderer>(svg);
        }
        return *slot;
    }

    QByteArray m_svg;
    std::map<QRgb, std::unique_ptr<QSvgRenderer>> m_renderers;
};

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/velumark/icons/%1.svg").arg(name);
}

} // namespace

QIcon Icons::themed(const QString &themeName, const QString &ownName)
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return own(ownName);
}

QIcon Icons::own(const QString &name)
{
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QIcon(new PaletteIconEngine(file.readAll()));
}

QIcon Icons::application()
{
    return QIcon(resourcePath(QStringLiteral("velumark")));
}

} // namespace velumark::gui
