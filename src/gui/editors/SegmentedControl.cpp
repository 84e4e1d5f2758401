#include "gui/editors/SegmentedControl.h"

#include <QButtonGroup>
#include <QEvent>
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
        connect(button, &QPushButton::toggled, this, &SegmentedControl::markChosen);
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

void SegmentedControl::markChosen()
{
    for (QAbstractButton *button : m_group->buttons()) {
        QPalette colours = palette();
        if (button->isChecked()) {
            colours.setColor(QPalette::Button, colours.color(QPalette::Highlight));
            colours.setColor(QPalette::ButtonText, colours.color(QPalette::HighlightedText));
        }
        button->setPalette(colours);
    }
}

void SegmentedControl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        markChosen();
}

QAbstractButton *SegmentedControl::segment(int index) const
{
    return m_group->button(index);
}

} // namespace velumark::gui
