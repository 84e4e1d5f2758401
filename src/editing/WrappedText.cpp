#include "editing/WrappedText.h"

#include <QPainter>
#include <QTextOption>
#include <algorithm>

namespace velumark::editing {

namespace {

// The layout ends a line only at a line separator; every kind of line break becomes one.
QString withLineSeparators(QString text)
{
    text.replace(QLatin1String("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

} // namespace

WrappedText::WrappedText(const QString &text, const QFont &font, double width)
{
    if (text.isEmpty())
        return;
    m_layout.setText(withLineSeparators(text));
    m_layout.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);
    m_layout.beginLayout();
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLineWidth(std::max(width, 1.0));
        line.setPosition(QPointF(0, 0));
    }
    m_layout.endLayout();
    m_lineCount = m_layout.lineCount();
}

QString WrappedText::lineText(int line) const
{
    if (line < 0 || line >= m_lineCount)
        return {};
    const QTextLine textLine = m_layout.lineAt(line);
    QString part = m_layout.text().mid(textLine.textStart(), textLine.textLength());
    part.remove(QChar::LineSeparator);
    return part;
}

void WrappedText::drawLine(QPainter &painter, int line, const QPointF &topLeft) const
{
    if (line < 0 || line >= m_lineCount)
        return;
    m_layout.lineAt(line).draw(&painter, topLeft);
}

} // namespace velumark::editing
