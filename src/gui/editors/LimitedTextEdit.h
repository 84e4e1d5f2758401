#pragma once

#include <QPlainTextEdit>

namespace velumark::gui {

// A multi-line text of at most so many characters (notes, location, address). Typing past the
// limit is refused with a beep; pasted or dropped text is cut at the limit, also with a beep. A
// text that is already longer (from an import) can still be shortened.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit LimitedTextEdit(int limit, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // What the limit takes of `text` in place of the selection; beeps when that is not all.
    QString fitting(const QString &text) const;

    int m_limit;
};

} // namespace velumark::gui
