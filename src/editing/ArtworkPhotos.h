#pragma once

#include "interchange/OperationWatcher.h"
#include "store/Result.h"

#include <QObject>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

namespace velumark {
class Artwork;
class Image;
class OperationWatcher;
class PhotoImport;
class Record;
class VelumarkDatabase;
} // namespace velumark

namespace velumark::editing {

// The artwork sheet's working list of photos, in display order. Photos imported while the sheet is
// open are stored at once and remembered (imagesToAdd); photos removed are only remembered
// (imagesToDelete). OK commits both: the artwork's photos become the working list, in its order,
// with photo keys 1 and 2, and the removed photos are deleted. Cancel deletes the imported photos
// (rows and files) and leaves the artwork's photos as they were. The grid, the slots and the viewer
// follow it through its signals.
class ArtworkPhotos : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSlotCount = 5;

    ArtworkPhotos(VelumarkDatabase &document, Artwork &artwork, QObject *parent = nullptr);
    ~ArtworkPhotos() override;

    Artwork &artwork() const { return *m_artwork; }
    const std::vector<Image *> &images() const { return m_images; }
    const std::vector<Image *> &imagesToAdd() const { return m_imagesToAdd; }
    const std::vector<Image *> &imagesToDelete() const { return m_imagesToDelete; }
    int count() const { return int(m_images.size()); }
    // Photos added, removed or moved since the sheet opened (captions are stored at once).
    bool hasChanges() const;
    int indexOf(const Image *image) const;
    // The photo of slot 0-4, or null.
    Image *imageInSlot(int slot) const;

    // Imports picture files through the worker; they are appended as they are stored. The
    // watcher (not owned) follows the import. Refused while an import runs.
    Result<> importFiles(const QStringList &files, OperationWatcher *watcher);
    bool isImporting() const;
    void cancelImport();
    // What the last import left out ("file: reason").
    QStringList lastSkipped() const;

    // Removes the photos from the working list; they are deleted on commit.
    void remove(const std::vector<Image *> &images);
    // Moves the photos at these indexes to the destination index of the list as it was, keeping
    // their order: moving 0 and 2 of five to 4 gives 1, 3, 0, 2, 4.
    void move(std::vector<int> indexes, int destination);
    void moveToFront(Image *image);

    // The neighbours in the working list, wrapping at both ends (the photo itself when alone).
    Image *previous(const Image *image) const;
    Image *next(const Image *image) const;

    // For the viewer: the caption is written to the photo's row at once.
    void setCaption(Image *image, const QString &caption);

    // OK and Cancel. Both raise DatabaseError when the document refuses (nothing changed then).
    void commit();
    // A new artwork: the list starts over an artwork that is not in the document yet (its photos
    // are imported without an owner); once the sheet has added the artwork, the photos become its
    // own on this commit.
    void commitTo(Artwork &added);
    void rollback();

    // The order that `move` makes, for any list.
    template <typename T>
    static void reorder(std::vector<T> &list, std::vector<int> indexes, int destination);

signals:
    void aboutToInsert(int first, int last);
    void inserted();
    void aboutToRemove(int index);
    void removed();
    void reordered();
    // The whole list was replaced (a cancel).
    void aboutToReset();
    void reset();
    // The caption of the photo changed (its tool tips follow).
    void captionChanged(int index);
    void importFinished(velumark::OperationResult result, const QString &message);

private:
    void append(Image *image);
    void forget(Record *record);
    void removeAt(int index);

    VelumarkDatabase &m_document;
    Artwork *m_artwork;
    std::vector<Image *> m_images;
    std::vector<Image *> m_imagesToAdd;
    std::vector<Image *> m_imagesToDelete;
    std::unique_ptr<PhotoImport> m_import;
};

template <typename T>
void ArtworkPhotos::reorder(std::vector<T> &list, std::vector<int> indexes, int destination)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::vector<T> taken;
    // From the highest index down, so that the lower indexes stay valid; each one taken from below
    // the destination moves it down by one.
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        if (*it < 0 || *it >= int(list.size()))
            continue;
        taken.insert(taken.begin(), list[size_t(*it)]);
        list.erase(list.begin() + *it);
        if (*it < destination)
            --destination;
    }
    destination = std::clamp(destination, 0, int(list.size()));
    list.insert(list.begin() + destination, taken.begin(), taken.end());
}

} // namespace velumark::editing
