#include "gui/photos/ArtworkRowDrop.h"

#include "editing/ArtworkPhotos.h"
#include "gui/photos/DroppedPictures.h"
#include "gui/photos/PhotoImportSession.h"
#include "gui/shell/CommandBoundary.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>
#include <QRubberBand>

namespace velumark::gui {

ArtworkRowDrop::ArtworkRowDrop(VelumarkDatabase &document, QAbstractItemView &view, ArtworkAt artworkAt)
    : QObject(&view), m_document(document), m_view(view), m_viewport(view.viewport()),
      m_artworkAt(std::move(artworkAt)), m_highlight(new QRubberBand(QRubberBand::Rectangle, m_viewport))
{
    m_viewport->setAcceptDrops(true);
    m_viewport->installEventFilter(this);
}

QModelIndex ArtworkRowDrop::targetRow(const QPoint &position, const QMimeData *data) const
{
    if (!data || !DroppedPictures::carriesPictures(*data))
        return {};
    const QModelIndex index = m_view.indexAt(position);
    return index.isValid() && m_artworkAt(index.row()) ? index : QModelIndex();
}

void ArtworkRowDrop::showHighlight(const QModelIndex &row)
{
    if (!row.isValid()) {
        m_highlight->hide();
        return;
    }
    const QRect cell = m_view.visualRect(row);
    m_highlight->setGeometry(0, cell.top(), m_viewport->width(), cell.height());
    m_highlight->show();
}

bool ArtworkRowDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QModelIndex row = targetRow(drag->position().toPoint(), drag->mimeData());
        showHighlight(row);
        if (!row.isValid())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::DragLeave:
        m_highlight->hide();
        return false;
    case QEvent::Drop: {
        m_highlight->hide();
        auto *drop = static_cast<QDropEvent *>(event);
        const QModelIndex row = targetRow(drop->position().toPoint(), drop->mimeData());
        if (!row.isValid())
            return false;
        // The files stay where they are: the import copies them.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        importInto(*m_artworkAt(row.row()), *drop->mimeData());
        return true;
    }
    default:
        return false;
    }
}

void ArtworkRowDrop::importInto(Artwork &artwork, const QMimeData &data)
{
    // The photos join the artwork as the sheet's OK would add them; the working list lives as long
    // as its import.
    auto *photos = new editing::ArtworkPhotos(m_document, artwork, this);
    auto *import = new PhotoImportSession(*photos, m_view, photos);
    connect(import, &PhotoImportSession::finished, photos, [this, photos] {
        if (photos->hasChanges())
            runCommand(&m_view, [photos] { photos->commit(); });
        photos->deleteLater();
    });
    import->importDropped(data);
}

} // namespace velumark::gui
