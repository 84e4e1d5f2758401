#include "editing/PrintLayout.h"

#include <algorithm>
#include <cmath>

namespace velumark::editing {

double PrintLayout::listLineHeight(PrintScreen screen)
{
    switch (screen) {
    case PrintScreen::Artworks:
        return 120;
    case PrintScreen::Clients:
        return 43;
    case PrintScreen::Submissions:
        return 80;
    case PrintScreen::ClientOutstanding:
        return 70;
    default:
        return 0;
    }
}

PrintLayout::PrintLayout(PrintScreen screen, const QRectF &printRect, double lineHeight, qsizetype total)
    : m_screen(screen), m_printRect(printRect), m_lineHeight(lineHeight),
      m_total(std::max<qsizetype>(0, total))
{
    if (!(m_lineHeight > 0))
        return;
    // Rows start below the header, so only the height under it holds rows.
    const double height = isListScreen(screen) ? printRect.height() - kListTop : printRect.height();
    m_linesPerPage = static_cast<int>(std::clamp(std::floor(height / m_lineHeight), 0.0, 1e6));
    const qsizetype perPage = itemsPerPage();
    if (perPage > 0 && m_total > 0)
        m_pageCount = static_cast<int>((m_total + perPage - 1) / perPage);
}

int PrintLayout::itemsPerPage() const
{
    if (isListScreen(m_screen))
        return m_linesPerPage;
    // A sheet page too short for a line beneath the header prints the header alone.
    return m_linesPerPage < kHeaderLines + 1 ? 0 : m_linesPerPage - kHeaderLines;
}

PrintLayout::Span PrintLayout::itemsOfPage(int page) const
{
    const qsizetype perPage = itemsPerPage();
    if (page < 0 || page >= m_pageCount || perPage == 0)
        return {};
    const qsizetype first = perPage * page;
    return {first, std::clamp<qsizetype>(m_total - first, 0, perPage)};
}

QRectF PrintLayout::itemFrame(int place) const
{
    const double top = isListScreen(m_screen) ? m_printRect.y() + kListTop + place * m_lineHeight
                                              : m_printRect.y() + (place + kHeaderLines) * m_lineHeight;
    return QRectF(m_printRect.x(), top, m_printRect.width(), m_lineHeight);
}

} // namespace velumark::editing
