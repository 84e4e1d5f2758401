#pragma once

#include <QColor>
#include <QWidget>

namespace velumark::gui {

// A panel with rounded corners in a colour of its own (the caption panel of the photo viewer),
// drawn behind its children.
class RoundedRectView : public QWidget
{
    Q_OBJECT
public:
    explicit RoundedRectView(QWidget *parent = nullptr);

    void setColor(const QColor &color);
    const QColor &color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};

} // namespace velumark::gui
