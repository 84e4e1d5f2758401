#include "gui/photos/VLImageView.h"

#include <QMouseEvent>
#include <QPainter>

namespace velumark::gui {

VLImageView::VLImageView(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void VLImageView::setImage(const QImage &image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

QSize VLImageView::sizeHint() const
{
    return m_image.isNull() ? QSize(160, 120) : m_image.size();
}

void VLImageView::resizeEvent(QResizeEvent *event)
{
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

void VLImageView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize fitted =
        m_image.size().scaled(size() * ratio, Qt::KeepAspectRatio).boundedTo(m_image.size() * 4);
    if (m_scaled.isNull() || m_scaled.size() != fitted) {
        m_scaled = QPixmap::fromImage(m_image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(ratio);
    }
    const QSizeF drawn = QSizeF(m_scaled.size()) / ratio;
    QPainter painter(this);
    painter.drawPixmap(QPointF((width() - drawn.width()) / 2, (height() - drawn.height()) / 2), m_scaled);
}

void VLImageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(m_tag);
    QWidget::mouseReleaseEvent(event);
}

} // namespace velumark::gui
