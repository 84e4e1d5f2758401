#include "gui/window/VLHeadingView.h"

#include "gui/window/ListPictures.h"

#include <QEvent>
#include <QPainter>

namespace velumark::gui {

namespace {
constexpr int kTitleLeft = 10;
constexpr int kTitleRightMargin = 30;
constexpr int kTitleHeight = 21;
} // namespace

VLHeadingView::VLHeadingView(ListPictures &pictures, QWidget *parent)
    : QWidget(parent), m_pictures(pictures), m_bold(ListPictures::boldFont(font())), m_boldMetrics(m_bold)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void VLHeadingView::setHeaderString(const QString &text)
{
    if (text == m_headerString)
        return;
    m_headerString = text;
    setAccessibleName(text);
    update();
}

void VLHeadingView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect band = rect();
    m_pictures.paintBand(painter, band, QRect(kTitleLeft, 0, band.width() - kTitleRightMargin, kTitleHeight),
                         m_headerString, m_bold, m_boldMetrics, kOpacity);
}

void VLHeadingView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_bold = ListPictures::boldFont(font());
        m_boldMetrics = QFontMetrics(m_bold);
    }
    QWidget::changeEvent(event);
}

} // namespace velumark::gui
