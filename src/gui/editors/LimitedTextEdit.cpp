#include "gui/editors/LimitedTextEdit.h"

#include "editing/TextLimitFormatter.h"
#include "gui/shell/UserInteraction.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace velumark::gui {

using editing::TextLimitFormatter;

LimitedTextEdit::LimitedTextEdit(int limit, QWidget *parent) : QPlainTextEdit(parent), m_limit(limit)
{
    setTabChangesFocus(true);
}

QString LimitedTextEdit::fitting(const QString &text) const
{
    const QTextCursor cursor = textCursor();
    // The document counts one character more than its text holds (the closing paragraph mark).
    const qsizetype current = document()->characterCount() - 1;
    const qsizetype room =
        TextLimitFormatter::room(current, cursor.selectionEnd() - cursor.selectionStart(), m_limit);
    const QString kept = TextLimitFormatter::cut(text, room);
    if (kept.size() < text.size())
        UserInteraction::instance().beep();
    return kept;
}

void LimitedTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool newLine = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = newLine ? QStringLiteral("\n") : event->text();
    const bool inserts = newLine || (!typed.isEmpty() && typed.at(0).isPrint());
    if (inserts && !isReadOnly() && fitting(typed).size() < typed.size()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    const QString kept = fitting(source->text());
    if (!kept.isEmpty())
        insertPlainText(kept);
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString kept = fitting(event->commitString());
    if (kept.size() == event->commitString().size()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
}

} // namespace velumark::gui
