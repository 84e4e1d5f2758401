#pragma once

#include "document/OperationClaim.h"
#include "interchange/LongOperation.h"
#include "store/StagedPhoto.h"

#include <QMutex>
#include <QStringList>
#include <vector>

namespace velumark {

class Image;
class VelumarkDatabase;

// Adds picture files as photos of an artwork. The worker checks, decodes, turns upright, scales
// and encodes the pictures, one per core at a time, and writes their files into the package
// under staging names; the starting thread inserts each row and moves its files to their names
// (VelumarkDatabase::addStagedImage), in the order of the files, as the pictures become ready.
// The document is held (an OperationClaim) while it runs and is never touched from the worker.
// A file that is not a picture it can read is skipped and named in skipped(); a write that fails
// (a full disk) ends the import, keeping the photos added before it. Cancel keeps the photos
// already added. The images get the owner and tags (firstTag, firstTag + 1, ...), but the
// artwork's own list of images is left to the caller (VelumarkDatabase::setArtworkImages).
class PhotoImport : public LongOperation
{
    Q_OBJECT
public:
    PhotoImport(VelumarkDatabase &document, qint64 artworkKey, QStringList files, qint64 firstTag,
                QObject *parent = nullptr);
    ~PhotoImport() override;

    // "file: reason" for each file left out, in the order of the files.
    const QStringList &skipped() const { return m_skipped; }
    const std::vector<Image *> &addedImages() const { return m_added; }
    int fileCount() const { return int(m_files.size()); }

signals:
    // Starting thread, once the image is in the document, in the order of the files.
    void imageAdded(velumark::Image *image);

protected:
    Result<> prepare() override;
    Result<> run() override;
    Result<> finish(Result<> outcome) override;

private:
    struct Picture
    {
        enum class State
        {
            Pending,
            Ready,
            Skipped,
            Done
        };
        State state = State::Pending;
        StagedPhoto photo;
        StagedPhoto::Problem problem = StagedPhoto::Problem::None;
        QString message;
    };
    // Worker threads of the pool.
    void stage(size_t index);
    // Starting thread: inserts the next picture in order when it is ready (false when none was),
    // skipping the files left out.
    bool insertNext();
    void insertReady();
    void insert(Picture &picture, const QString &source);

    VelumarkDatabase &m_document;
    qint64 m_artworkKey;
    QStringList m_files;
    qint64 m_nextTag;
    QString m_packagePath;
    OperationClaim m_claim;

    QMutex m_mutex; // guards m_pictures' states between the pool and the starting thread
    std::vector<Picture> m_pictures;
    size_t m_nextToInsert = 0;
    QString m_writeFailure;
    QString m_insertFailure;
    QStringList m_skipped;
    std::vector<Image *> m_added;
};

} // namespace velumark
