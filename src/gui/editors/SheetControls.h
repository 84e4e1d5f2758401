#pragma once

#include "editing/DecimalFormatter.h"

#include <QStringList>

class QComboBox;
class QLineEdit;
class QToolButton;
class QWidget;

namespace velumark::gui::SheetControls {

// A field for numbers of the style, right-aligned and about as wide as its longest number.
QLineEdit *numberField(const editing::DecimalFormatter::Style &style);
// A small button with an icon (the theme's, else our drawing) that says what it does.
QToolButton *iconButton(const QString &themeIcon, const QString &ownIcon, const QString &toolTip);
// Puts the items in the choice, keeping the chosen position (the words of a unit change between
// singular and plural, the unit stays); nothing happens when they are the same.
void setChoices(QComboBox *box, const QStringList &items);
// Shows the text in a field without announcing an edit.
void showText(QLineEdit *field, const QString &text);

} // namespace velumark::gui::SheetControls
