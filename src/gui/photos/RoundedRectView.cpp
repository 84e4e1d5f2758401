#include "gui/photos/RoundedRectView.h"

#include <QPainter>

namespace velumark::gui {

RoundedRectView::RoundedRectView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void RoundedRectView::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void RoundedRectView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    constexpr qreal kRadius = 10;
    painter.drawRoundedRect(QRectF(rect()), kRadius, kRadius);
}

} // namespace velumark::gui
