#include "gui/editors/SheetControls.h"

#include "gui/shell/Icons.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

namespace velumark::gui::SheetControls {

QLineEdit *numberField(const editing::DecimalFormatter::Style &style)
{
    auto *field = new QLineEdit;
    field->setValidator(new editing::DecimalFormatter(style, field));
    field->setAlignment(Qt::AlignRight);
    const int digits = std::min(style.maximumLength(), 12);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(digits, u'0')) + 16);
    return field;
}

QToolButton *iconButton(const QString &themeIcon, const QString &ownIcon, const QString &toolTip)
{
    auto *button = new QToolButton;
    button->setIcon(Icons::themed(themeIcon, ownIcon));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(false);
    return button;
}

void setChoices(QComboBox *box, const QStringList &items)
{
    QStringList current;
    for (int i = 0; i < box->count(); ++i)
        current.append(box->itemText(i));
    if (current == items)
        return;
    const QSignalBlocker quiet(box);
    const int chosen = box->currentIndex();
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(chosen);
}

void showText(QLineEdit *field, const QString &text)
{
    const QSignalBlocker quiet(field);
    field->setText(text);
}

} // namespace velumark::gui::SheetControls
