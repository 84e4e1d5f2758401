#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;
class QMimeData;
class QModelIndex;
class QRubberBand;
class QWidget;

namespace velumark {
class Artwork;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::gui {

// Pictures dropped on a row of the artwork list become photos of that row's artwork, after its
// photos, through the same import as the photo grid's (progress, Cancel, the files that are not
// pictures counted in a message). The row under the cursor is highlighted while pictures are
// dragged over it; beside the rows nothing is taken, and drags without pictures pass on to the
// window (a catalogue dropped there opens).
class ArtworkRowDrop : public QObject
{
    Q_OBJECT
public:
    using ArtworkAt = std::function<Artwork *(int row)>;

    ArtworkRowDrop(VelumarkDatabase &document, QAbstractItemView &view, ArtworkAt artworkAt);

    // The highlight of the row under the cursor; hidden when no drag is over a row.
    QRubberBand *highlight() const { return m_highlight; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The row under the position whose artwork takes the data; invalid when none does.
    QModelIndex targetRow(const QPoint &position, const QMimeData *data) const;
    void showHighlight(const QModelIndex &row);
    void importInto(Artwork &artwork, const QMimeData &data);

    VelumarkDatabase &m_document;
    QAbstractItemView &m_view;
    // Kept apart from the view: its filter still sees events while the view is being destroyed,
    // when the view can no longer be asked for it.
    QWidget *const m_viewport;
    ArtworkAt m_artworkAt;
    QRubberBand *m_highlight;
};

} // namespace velumark::gui
