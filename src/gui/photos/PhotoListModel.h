#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

namespace velumark {
class Image;
}

namespace velumark::editing {
class ArtworkPhotos;
}

namespace velumark::gui {

// The artwork's working photos for the photo grid: the square thumbnail, the caption as tool tip.
// Photos are dragged out as their full-size files (so a file manager copies them) and within the
// grid as rows; files and pictures dropped from elsewhere are handed on (picturesDropped).
class PhotoListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr const char *kRowsMimeType = "application/x-velumark-photo-rows";

    explicit PhotoListModel(editing::ArtworkPhotos &photos, QObject *parent = nullptr);

    Image *imageAt(const QModelIndex &index) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // Something from outside the grid was dropped on it.
    void picturesDropped(const QMimeData *data);

private:
    QIcon thumbnail(Image *image) const;

    editing::ArtworkPhotos &m_photos;
    mutable QHash<const Image *, QIcon> m_thumbnails;
};

} // namespace velumark::gui
