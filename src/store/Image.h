#pragma once

#include "store/PictureSize.h"
#include "store/Record.h"
#include "store/Result.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

namespace velumark {

// One photo of an artwork with its caption. The row names the owner and the place among the
// owner's photos; the pictures are JPEG files in the package, named by the key:
// "vl-<key>.jpg" (photo, longest side at most 1280), "vl-<key>t.jpg" (thumbnail, longest side
// 320) and "vl-<key>ct.jpg" (square thumbnail cut from the middle of the thumbnail).
// Rows of older databases carry photo and thumbnail as blobs; they are written out as files the
// first time they are read.
class Image : public Record
{
public:
    // Owner kinds (linkedType) and the "unknown" marks of upgraded rows.
    static constexpr qint64 kOwnerArtwork = 0;
    static constexpr qint64 kNone = -1;
    static constexpr qint64 kUpgraded = -2;

    Image();
    // Loads type, owner key and tag; path is the package folder holding the files.
    Image(qint64 primaryKey, SqliteConnection *database, const QString &path, bool abortOnError,
          int *initResult = nullptr);

    qint64 linkedType() const { return m_linkedType; }
    void setLinkedType(qint64 type) { assign(m_linkedType, type); }
    qint64 linkedKey() const { return m_linkedKey; }
    void setLinkedKey(qint64 key) { assign(m_linkedKey, key); }
    qint64 tagValue() const { return m_tagValue; }
    void setTagValue(qint64 tag) { assign(m_tagValue, tag); }
    const QString &caption() const { return m_caption; }
    void setCaption(const QString &caption);

    const QImage &photo() const { return m_photo; }
    // Takes the pictures of its PhotoRendition. Does nothing for the picture already held.
    void setPhoto(const QImage &picture);
    // Reads a picture file for setPhoto (see PhotoRendition::fromFile). False (and nothing
    // changed) when the file does not decode.
    bool setPhotoFromFile(const QString &file);
    const QImage &thumbnail() const { return m_thumbnail; }
    void setThumbnail(const QImage &thumbnail);
    const QImage &croppedThumbnail() const { return m_croppedThumbnail; }
    // The square thumbnail at side x side pixels, made for the caller and not kept by the record:
    // from the square thumbnail held, else from its file, else from what hydrate_thumbnail finds
    // (which writes old blobs out as files). Null without a picture.
    QImage squareThumbnail(int side);
    // Changes whenever the pictures held change, so that copies made of them can tell they are stale.
    quint64 pictureRevision() const { return m_pictureRevision; }

    const QByteArray &dataForPhoto() const { return m_dataForPhoto; }
    void setDataForPhoto(const QByteArray &data) { m_dataForPhoto = data; }
    const QByteArray &dataForThumbnail() const { return m_dataForThumbnail; }
    void setDataForThumbnail(const QByteArray &data) { m_dataForThumbnail = data; }

    const QString &path() const { return m_path; }
    void setPath(const QString &path) { m_path = path; }

    // Inserts the row, then writes the photo and thumbnail (encoded now when compress is on,
    // else taken from the data fields) and the square thumbnail under the new key. When a file
    // cannot be written, the row and the files written so far are removed and the insertion
    // fails. The caller saves the record afterwards.
    int insertIntoDatabase(SqliteConnection *database, const QString &path, bool compressImage);
    // Inserts the row only, for pictures whose files the caller puts in place (the photo import);
    // nothing is loaded, so the pictures are read from the files when needed.
    int insertRow(SqliteConnection *database, const QString &path);

    // Thumbnail and square thumbnail from their files, else from the row's blob (which is then
    // written out as files). The files only spare the next load the blob: one that cannot be
    // written is logged and the picture is still served.
    int hydrate_thumbnail();
    int hydrate_caption();
    // Thumbnail, photo (file, else blob written out as the file) and caption. A pending change
    // stays dirty. dehydrate (the base's) saves, then releases pictures, data and caption.
    int hydrate() override;
    // Removes the row, then the three files.
    int deleteFromDatabase() override;
    // The two halves of a deletion, for removals that delete many rows in one transaction and
    // the files only once it committed.
    int deleteRow();
    void removeFiles() const;
    bool isThumbnailHydrated() const { return m_hydratedThumbnail; }
    bool isCaptionHydrated() const { return m_hydratedCaption; }

    // By tag, smaller first: -1, 0 or 1.
    int compareOrder(const Image &other) const;

    // Copies the photo and thumbnail files into the row's blobs (export copies). Status: 1 when
    // the row could not be written, or when a file could not be read (nothing is written then,
    // and each such file is added to `unreadable` as "path: reason").
    int addPhotosToDatabase(QStringList *unreadable = nullptr);
    // The bytes of a picture file. Fails with "path: reason" when it is missing, not a regular
    // file, unreadable, empty or far larger than any picture of a package.
    static Result<QByteArray> readPictureFile(const QString &path);
    // Writes one picture: the thumbnail file, or the photo with its longest side 512, 1024 or 1280.
    // Whether a file was written (false: there was no picture to read). A picture that was read
    // but could not be written (a full disk) fails, naming the file.
    Result<bool> exportToPath(const QString &file, PictureSize size);
    Result<bool> exportPhotoToPath(const QString &file, int longestSide);

    QString photoFilePath() const;
    QString thumbnailFilePath() const;
    QString croppedThumbnailFilePath() const;
    static QString photoFileName(qint64 key);
    static QString thumbnailFileName(qint64 key);
    static QString croppedThumbnailFileName(qint64 key);

protected:
    const Statements &statements() const override;
    QString className() const override { return QStringLiteral("Image"); }
    void readEager(const SqliteStatement &row) override;
    void applyEagerFallbacks() override;
    void readLazy(const SqliteStatement &row) override;
    void releaseLazyFields() override;
    void bindInsert(SqliteStatement &statement) const override;
    int bindUpdate(SqliteStatement &statement) const override;
    int loadFieldsForSave() override;

private:
    // The blob of the row (empty when the row is missing or the blob is empty); a failed read sets
    // status to 1 or raises.
    QByteArray readBlob(const char *sql, const char *method, int *status);
    // Writes the photo, thumbnail and square thumbnail files of a new key; on failure removes what
    // it wrote and returns why.
    QString writeNewFiles();
    int writeFailure(const char *method, const QString &detail);
    // Cuts the square thumbnail from the thumbnail and writes its file when there is one.
    void cacheSquareThumbnail();
    // A picture file the row's blob can make again: a failure is logged, not returned.
    void writeCacheFile(const QString &path, const QByteArray &data) const;
    void releaseThumbnail();

    qint64 m_linkedType = kNone;
    qint64 m_linkedKey = kNone;
    qint64 m_tagValue = kNone;
    QString m_caption;
    QImage m_photo;
    QImage m_thumbnail;
    QImage m_croppedThumbnail;
    QByteArray m_dataForPhoto;
    QByteArray m_dataForThumbnail;
    QString m_path;
    bool m_hydratedThumbnail = false;
    bool m_hydratedCaption = false;
    quint64 m_pictureRevision = 0;
};

} // namespace velumark
