#include "gui/editors/FieldGrid.h"

#include <QHBoxLayout>
#include <QLabel>

namespace velumark::gui {

FieldGrid::FieldGrid(QWidget *parent) : QGridLayout(parent)
{
    setColumnStretch(1, 1);
    setColumnStretch(3, 1);
    setHorizontalSpacing(10);
}

QLabel *FieldGrid::label(const QString &text, QWidget *named, int row, int column)
{
    auto *label = new QLabel(text);
    label->setBuddy(named);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (named->accessibleName().isEmpty())
        named->setAccessibleName(text);
    addWidget(label, row, column);
    return label;
}

QLabel *FieldGrid::addWide(const QString &text, QWidget *control)
{
    QLabel *name = label(text, control, m_row, 0);
    addWidget(control, m_row++, 1, 1, 3);
    return name;
}

QLabel *FieldGrid::addWide(const QString &text, QLayout *controls, QWidget *named)
{
    QLabel *name = label(text, named, m_row, 0);
    addLayout(controls, m_row++, 1, 1, 3);
    return name;
}

QLabel *FieldGrid::addHalf(int column, const QString &text, QWidget *control)
{
    QLabel *name = label(text, control, m_row, column * 2);
    addWidget(control, m_row, column * 2 + 1);
    return name;
}

QLabel *FieldGrid::addHalf(int column, const QString &text, QLayout *controls, QWidget *named)
{
    QLabel *name = label(text, named, m_row, column * 2);
    addLayout(controls, m_row, column * 2 + 1);
    return name;
}

QHBoxLayout *FieldGrid::row(std::initializer_list<QWidget *> widgets, bool stretch)
{
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    if (stretch)
        layout->addStretch();
    return layout;
}

} // namespace velumark::gui
