#include "gui/photos/PhotoListModel.h"

#include "editing/ArtworkPhotos.h"
#include "store/DatabaseError.h"
#include "store/Image.h"

#include <QDataStream>
#include <QIODevice>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace velumark::gui {

PhotoListModel::PhotoListModel(editing::ArtworkPhotos &photos, QObject *parent)
    : QAbstractListModel(parent), m_photos(photos)
{
    using editing::ArtworkPhotos;
    connect(&photos, &ArtworkPhotos::aboutToInsert, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&photos, &ArtworkPhotos::inserted, this, &PhotoListModel::endInsertRows);
    connect(&photos, &ArtworkPhotos::aboutToRemove, this, [this](int index) {
        m_thumbnails.remove(m_photos.images()[size_t(index)]);
        beginRemoveRows({}, index, index);
    });
    connect(&photos, &ArtworkPhotos::removed, this, &PhotoListModel::endRemoveRows);
    connect(&photos, &ArtworkPhotos::reordered, this, [this] {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    });
    connect(&photos, &ArtworkPhotos::aboutToReset, this, [this] {
        beginResetModel();
        m_thumbnails.clear();
    });
    connect(&photos, &ArtworkPhotos::reset, this, &PhotoListModel::endResetModel);
    connect(&photos, &ArtworkPhotos::captionChanged, this,
            [this](int row) { emit dataChanged(index(row), index(row), {Qt::ToolTipRole}); });
}

Image *PhotoListModel::imageAt(const QModelIndex &index) const
{
    return index.isValid() && index.row() < m_photos.count() ? m_photos.images()[size_t(index.row())]
                                                             : nullptr;
}

int PhotoListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_photos.count();
}

QIcon PhotoListModel::thumbnail(Image *image) const
{
    // An icon, not a pixmap: the view draws an icon at its zoomed size, a pixmap at its own.
    auto it = m_thumbnails.find(image);
    if (it == m_thumbnails.end())
        it = m_thumbnails.insert(
            image, QIcon(QPixmap::fromImage(QImageReader(image->croppedThumbnailFilePath()).read())));
    return *it;
}

QVariant PhotoListModel::data(const QModelIndex &index, int role) const
{
    Image *image = imageAt(index);
    if (!image)
        return {};
    switch (role) {
    case Qt::DecorationRole:
        return thumbnail(image);
    case Qt::ToolTipRole:
        try {
            image->hydrate_caption();
        } catch (const DatabaseError &) {
            // A caption that cannot be read shows no tool tip; the viewer reports the failure.
            return {};
        }
        return image->caption().isEmpty() ? QVariant() : QVariant(image->caption());
    default:
        return {};
    }
}

Qt::ItemFlags PhotoListModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractListModel::flags(index) | Qt::ItemIsDropEnabled;
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base;
}

// Copies only, both ways: a file manager must never move a photo's file out of the package, and a
// file dropped here must stay where it is until the import has read it.
Qt::DropActions PhotoListModel::supportedDropActions() const
{
    return Qt::CopyAction;
}

Qt::DropActions PhotoListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

QStringList PhotoListModel::mimeTypes() const
{
    QStringList types{QString::fromLatin1(kRowsMimeType), QStringLiteral("text/uri-list")};
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        types.append(QString::fromLatin1(type));
    return types;
}

QMimeData *PhotoListModel::mimeData(const QModelIndexList &indexes) const
{
    auto *data = new QMimeData;
    QByteArray rows;
    QDataStream stream(&rows, QIODevice::WriteOnly);
    QList<QUrl> files;
    for (const QModelIndex &index : indexes) {
        if (Image *image = imageAt(index)) {
            stream << index.row();
            files.append(QUrl::fromLocalFile(image->photoFilePath()));
        }
    }
    data->setData(QString::fromLatin1(kRowsMimeType), rows);
    // A file manager copies the full-size photos.
    data->setUrls(files);
    return data;
}

bool PhotoListModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int,
                                     const QModelIndex &) const
{
    return data->hasFormat(QString::fromLatin1(kRowsMimeType)) || data->hasUrls() || data->hasImage();
}

bool PhotoListModel::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int,
                                  const QModelIndex &parent)
{
    if (!data->hasFormat(QString::fromLatin1(kRowsMimeType))) {
        emit picturesDropped(data);
        return true;
    }
    std::vector<int> rows;
    QDataStream stream(data->data(QString::fromLatin1(kRowsMimeType)));
    while (!stream.atEnd()) {
        int moved = -1;
        stream >> moved;
        rows.push_back(moved);
    }
    const int destination = row >= 0 ? row : parent.isValid() ? parent.row() : m_photos.count();
    m_photos.move(rows, destination);
    // The move is done here; a drop that reported success would have the view remove the rows.
    return false;
}

} // namespace velumark::gui
