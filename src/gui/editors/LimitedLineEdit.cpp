#include "gui/editors/LimitedLineEdit.h"

#include "editing/TextLimitFormatter.h"
#include "gui/shell/UserInteraction.h"

namespace velumark::gui {

LimitedLineEdit::LimitedLineEdit(int limit, QWidget *parent)
    : QLineEdit(parent), m_formatter(new editing::TextLimitFormatter(limit, this))
{
    setValidator(m_formatter);
    connect(this, &QLineEdit::textChanged, m_formatter, &editing::TextLimitFormatter::setCurrentText);
    connect(m_formatter, &editing::TextLimitFormatter::limitReached, this,
            [] { UserInteraction::instance().beep(); });
}

void LimitedLineEdit::showText(const QString &text)
{
    m_formatter->setCurrentText(text);
    setText(text);
}

} // namespace velumark::gui
