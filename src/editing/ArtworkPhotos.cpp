#include "editing/ArtworkPhotos.h"

#include "document/VelumarkDatabase.h"
#include "interchange/PhotoImport.h"
#include "store/Localization.h"

namespace velumark::editing {

ArtworkPhotos::ArtworkPhotos(VelumarkDatabase &document, Artwork &artwork, QObject *parent)
    : QObject(parent), m_document(document), m_artwork(&artwork), m_images(artwork.images())
{
    // A photo the document lets go of (a reload, the artwork removed elsewhere) must not stay here.
    connect(document.notifier(), &DocumentNotifier::recordAboutToBeRemoved, this,
            [this](DocumentNotifier::Kind kind, Record *record) {
                if (kind == DocumentNotifier::Kind::Image)
                    forget(record);
            });
}

ArtworkPhotos::~ArtworkPhotos() = default;

bool ArtworkPhotos::hasChanges() const
{
    return !m_imagesToAdd.empty() || !m_imagesToDelete.empty() || m_images != m_artwork->images();
}

int ArtworkPhotos::indexOf(const Image *image) const
{
    const auto it = std::find(m_images.begin(), m_images.end(), image);
    return it == m_images.end() ? -1 : int(it - m_images.begin());
}

Image *ArtworkPhotos::imageInSlot(int slot) const
{
    return slot >= 0 && slot < kSlotCount && slot < count() ? m_images[size_t(slot)] : nullptr;
}

Result<> ArtworkPhotos::importFiles(const QStringList &files, OperationWatcher *watcher)
{
    if (isImporting())
        return Failure{localized("Photos are being added already. Wait until they are in.")};
    // Tags continue after the working list; the commit numbers them again in display order.
    m_import = std::make_unique<PhotoImport>(m_document, m_artwork->primaryKey(), files, qint64(count()) + 1);
    connect(m_import.get(), &PhotoImport::imageAdded, this, &ArtworkPhotos::append);
    connect(m_import.get(), &LongOperation::finished, this, &ArtworkPhotos::importFinished);
    if (watcher)
        m_import->setWatcher(watcher);
    if (const Result<> started = m_import->start(); !started) {
        m_import.reset();
        return started;
    }
    return {};
}

bool ArtworkPhotos::isImporting() const
{
    return m_import && m_import->isRunning();
}

void ArtworkPhotos::cancelImport()
{
    if (m_import)
        m_import->abort();
}

QStringList ArtworkPhotos::lastSkipped() const
{
    return m_import ? m_import->skipped() : QStringList();
}

void ArtworkPhotos::append(Image *image)
{
    const int index = count();
    emit aboutToInsert(index, index);
    m_images.push_back(image);
    m_imagesToAdd.push_back(image);
    emit inserted();
}

void ArtworkPhotos::remove(const std::vector<Image *> &images)
{
    for (Image *image : images) {
        const int index = indexOf(image);
        if (index < 0)
            continue;
        removeAt(index);
        m_imagesToDelete.push_back(image);
    }
}

void ArtworkPhotos::removeAt(int index)
{
    emit aboutToRemove(index);
    m_images.erase(m_images.begin() + index);
    emit removed();
}

void ArtworkPhotos::forget(Record *record)
{
    const auto image = static_cast<Image *>(record);
    if (const int index = indexOf(image); index >= 0)
        removeAt(index);
    std::erase(m_imagesToAdd, image);
    std::erase(m_imagesToDelete, image);
}

void ArtworkPhotos::move(std::vector<int> indexes, int destination)
{
    reorder(m_images, std::move(indexes), destination);
    emit reordered();
}

void ArtworkPhotos::moveToFront(Image *image)
{
    if (const int index = indexOf(image); index > 0)
        move({index}, 0);
}

Image *ArtworkPhotos::previous(const Image *image) const
{
    const int index = indexOf(image);
    if (index < 0)
        return nullptr;
    return m_images[size_t(index == 0 ? count() - 1 : index - 1)];
}

Image *ArtworkPhotos::next(const Image *image) const
{
    const int index = indexOf(image);
    if (index < 0)
        return nullptr;
    return m_images[size_t(index + 1 == count() ? 0 : index + 1)];
}

void ArtworkPhotos::setCaption(Image *image, const QString &caption)
{
    image->hydrate_caption();
    if (image->caption() == caption)
        return;
    image->setCaption(caption);
    image->save();
    if (const int index = indexOf(image); index >= 0)
        emit captionChanged(index);
}

void ArtworkPhotos::commit()
{
    m_document.setArtworkImages(m_artwork, m_images);
    // Copied: each removal is announced, and this list forgets what the document lets go of.
    const std::vector<Image *> doomed = m_imagesToDelete;
    for (Image *image : doomed)
        m_document.removeImage(image);
    m_imagesToAdd.clear();
    m_imagesToDelete.clear();
}

void ArtworkPhotos::commitTo(Artwork &added)
{
    m_artwork = &added;
    commit();
}

void ArtworkPhotos::rollback()
{
    const std::vector<Image *> added = m_imagesToAdd;
    for (Image *image : added)
        m_document.removeImage(image);
    m_imagesToAdd.clear();
    m_imagesToDelete.clear();
    emit aboutToReset();
    m_images = m_artwork->images();
    emit reset();
}

} // namespace velumark::editing
