#include "gui/transfer/SectionHeading.h"

#include <QLabel>

namespace velumark::gui {

QLabel *sectionHeading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace velumark::gui
