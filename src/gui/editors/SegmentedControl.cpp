#include "gui/editors/SegmentedControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

namespace velumark::gui {

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent), m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto *button = new QPushButton(labels[i]);
        button->setCheckable(true);
        button->setAutoDefault(false);
        m_group->addButton(button, int(i));
        layout->addWidget(button);
    }
    layout->addStretch();
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::segmentSelected);
}

int SegmentedControl::selectedSegment() const
{
    return m_group->checkedId();
}

void SegmentedControl::setSelectedSegment(int segment)
{
    if (QAbstractButton *button = m_group->button(segment))
        button->setChecked(true);
}

QAbstractButton *SegmentedControl::segment(int index) const
{
    return m_group->button(index);
}

} // namespace velumark::gui
