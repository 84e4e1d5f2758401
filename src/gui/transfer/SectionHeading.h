#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace velumark::gui {

// The bold line above a group of controls in the data windows.
QLabel *sectionHeading(const QString &text, QWidget *parent);

} // namespace velumark::gui
