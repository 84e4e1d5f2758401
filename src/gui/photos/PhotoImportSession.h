#pragma once

#include "gui/photos/DroppedPictures.h"
#include "interchange/OperationWatcher.h"

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace velumark::editing {
class ArtworkPhotos;
}

namespace velumark::gui {

// Adds picture files to an artwork's working list through the photo import, behind a window-modal
// progress window with Cancel, and then tells the user what was left out (non-pictures, counted) or
// why the import failed. The photo grid and a drop on an artwork row of the main list both go
// through it.
class PhotoImportSession : public QObject
{
    Q_OBJECT
public:
    // The progress window and the messages belong to `owner`'s window.
    PhotoImportSession(editing::ArtworkPhotos &photos, QWidget &owner, QObject *parent);

    bool isImporting() const;
    // `leftOut` ("what: why") is reported with what the import skips.
    void importFiles(const QStringList &files, const QStringList &leftOut = {});
    void importDropped(const QMimeData &mime);

signals:
    void importingChanged(bool importing);
    // After the messages, also when the import could not start; the working list holds what was
    // added.
    void finished(velumark::OperationResult result);

private:
    void report(OperationResult result, const QString &message);
    void tell(OperationResult result, const QString &message, const QStringList &skipped, int fileCount);

    editing::ArtworkPhotos &m_photos;
    QWidget &m_owner;
    DroppedPictures m_dropped;
    QStringList m_leftOut;
    int m_fileCount = 0;
};

} // namespace velumark::gui
