#pragma once

#include "document/CellContent.h"

#include <QFont>
#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <optional>

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

class ListPictures;

// Draws one cell of a list from its CellContent: the thumbnail square at the left, a title line
// and up to four smaller lines cut with an ellipsis, a right-hand column of two lines, the status
// icons after the fourth line, the section band across the top of a row that starts a section,
// the highlighted background of an overdue or near-deadline row, and a separator. Colours come
// from the palette, so that light and dark themes and the selection read alike; the band and the
// highlight are translucent or mid-tone pictures that suit both. Holds nothing per row: fonts and
// metrics are made once per view font, thumbnails come from the document's cache.
class VLTableCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kThumbnailLeft = 10;

    VLTableCell(VelumarkDatabase &document, ListPictures &pictures, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // The photo's caption as the tool tip while the pointer is over the photo; no tool tip elsewhere.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The square the cell's photo is drawn in; empty when the cell has none.
    static QRect thumbnailRect(const QRect &cell, const CellContent &content);
    // The square of the photo column, whether or not the cell has a photo.
    static QRect photoColumnSquare(const QRect &cell, const CellContent &content);
    // The small lines' font for the view's font.
    static QFont smallFont(const QFont &font);

signals:
    // A photo could not be read; the row is drawn without it.
    void pictureFailed(const QString &reason);

private:
    struct Fonts
    {
        explicit Fonts(const QFont &viewFont);
        QFont key;
        QFont main;
        QFont small;
        QFont bold;
        QFontMetrics mainMetrics;
        QFontMetrics smallMetrics;
        QFontMetrics boldMetrics;
    };
    struct Frame;

    const Fonts &fontsFor(const QFont &viewFont) const;
    void paintTexts(QPainter &painter, const Frame &frame, const CellContent &cell) const;
    void paintThumbnail(QPainter &painter, const Frame &frame, const CellContent &cell) const;
    void paintStatusIcons(QPainter &painter, const Frame &frame, const CellContent &cell) const;

    VelumarkDatabase &m_document;
    ListPictures &m_pictures;
    mutable std::optional<Fonts> m_fonts;
};

} // namespace velumark::gui
