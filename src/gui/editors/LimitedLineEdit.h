#pragma once

#include <QLineEdit>

namespace velumark::editing {
class TextLimitFormatter;
}

namespace velumark::gui {

// A one-line text of at most so many characters: typing past the limit is refused and pasted
// text cut, with a beep. Texts shown by the program are shown whole, however long.
class LimitedLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit LimitedLineEdit(int limit, QWidget *parent = nullptr);

    // Shows a stored text as it is (setText would hold it to the limit).
    void showText(const QString &text);

private:
    editing::TextLimitFormatter *m_formatter;
};

} // namespace velumark::gui
