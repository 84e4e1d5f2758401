#include "editing/PrintFonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>

namespace velumark::editing {

PrintFonts::PrintFonts()
    : m_header(sized(10)), m_listMain(sized(10)), m_listSmall(sized(8)), m_label(sized(11, true)),
      m_value(sized(11)), m_small(sized(9))
{}

QFont PrintFonts::sized(int points, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(points);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double PrintFonts::capHeight() const
{
    const double height = QFontMetricsF(m_value).capHeight();
    // A font without the metric: the usual proportion of a sans-serif face.
    return height > 0 ? height : m_value.pixelSize() * 0.72;
}

} // namespace velumark::editing
