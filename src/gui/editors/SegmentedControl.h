#pragma once

#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

namespace velumark::gui {

// A row of joined buttons of which exactly one is chosen ("No" / "Yes" / "Withdrawn"), shown in
// the selection colours.
class SegmentedControl : public QWidget
{
    Q_OBJECT
public:
    explicit SegmentedControl(const QStringList &labels, QWidget *parent = nullptr);

    int selectedSegment() const;
    void setSelectedSegment(int segment);
    QAbstractButton *segment(int index) const;

signals:
    // The user chose a segment.
    void segmentSelected(int segment);

protected:
    void changeEvent(QEvent *event) override;

private:
    // The chosen segment in the selection colours, so that it stands out in any palette.
    void markChosen();

    QButtonGroup *m_group;
};

} // namespace velumark::gui
