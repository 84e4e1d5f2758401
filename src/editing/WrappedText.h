#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>

class QPainter;
class QPointF;

namespace velumark::editing {

// A multi-line text broken into lines of a width, once: the same layout tells how many lines
// the text takes and draws each of them. Line breaks in the text start new lines; a word longer
// than the width is broken where it must.
class WrappedText
{
public:
    WrappedText(const QString &text, const QFont &font, double width);
    WrappedText(const WrappedText &) = delete;
    WrappedText &operator=(const WrappedText &) = delete;

    // 0 for an empty text.
    int lineCount() const { return m_lineCount; }
    QString lineText(int line) const;
    // Draws one line with its top-left corner at the point; a line past the last draws nothing.
    void drawLine(QPainter &painter, int line, const QPointF &topLeft) const;

private:
    QTextLayout m_layout;
    int m_lineCount = 0;
};

} // namespace velumark::editing
