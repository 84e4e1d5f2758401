#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace velumark::gui {

// A picture scaled to fit the view with its proportions kept, centred; a click on it is reported.
// The photo viewer shows its photo in one, the artwork sheet its five photo slots (tag 0-4).
class VLImageView : public QWidget
{
    Q_OBJECT
public:
    explicit VLImageView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    void setTag(int tag) { m_tag = tag; }
    int tag() const { return m_tag; }

    QSize sizeHint() const override;

signals:
    void clicked(int tag);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    // The picture at the size it is drawn, made when the size or the picture changes, not per paint.
    QPixmap m_scaled;
    int m_tag = 0;
};

} // namespace velumark::gui
