#pragma once

#include <QFont>

namespace velumark::editing {

// The fonts of a printout, in the desktop's general font sized in points. The painter of a
// printout works in points, so the sizes are given as pixel sizes of that coordinate system;
// hinting is off so that lines break alike on paper, in a preview and in a picture.
class PrintFonts
{
public:
    PrintFonts();

    const QFont &header() const { return m_header; }       // 10
    const QFont &listMain() const { return m_listMain; }   // 10: row number, first line, status
    const QFont &listSmall() const { return m_listSmall; } // 8: the other lines of a row
    const QFont &label() const { return m_label; }         // bold 11
    const QFont &value() const { return m_value; }         // 11: values and wrapped texts
    const QFont &small() const { return m_small; }         // 9: second line of a history entry
    // The cap height of the value font, which sets the height of a sheet's lines.
    double capHeight() const;

private:
    static QFont sized(int points, bool bold = false);

    QFont m_header;
    QFont m_listMain;
    QFont m_listSmall;
    QFont m_label;
    QFont m_value;
    QFont m_small;
};

} // namespace velumark::editing
