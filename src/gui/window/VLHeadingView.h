#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

namespace velumark::gui {

class ListPictures;

// The section band that floats at the top of a list while it scrolls, naming the section of the
// topmost row; the next section's band pushes it up as it arrives. Lets the pointer through.
class VLHeadingView : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal kOpacity = 0.9;

    VLHeadingView(ListPictures &pictures, QWidget *parent);

    const QString &headerString() const { return m_headerString; }
    void setHeaderString(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    ListPictures &m_pictures;
    QString m_headerString;
    QFont m_bold;
    QFontMetrics m_boldMetrics;
};

} // namespace velumark::gui
