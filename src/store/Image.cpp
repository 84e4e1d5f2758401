#include "store/Image.h"

#include "store/DatabaseError.h"
#include "store/FileOperations.h"
#include "store/Localization.h"
#include "store/PhotoRendition.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStringList>
#include <utility>

namespace velumark {

Q_LOGGING_CATEGORY(imageFiles, "velumark.store.image")

namespace {

const char *const kThumbnailBlobQuery = "SELECT thumbnail FROM image WHERE pk=?";
const char *const kPhotoBlobQuery = "SELECT photo FROM image WHERE pk=?";
const char *const kBlobUpdate = "UPDATE image SET photo=?, thumbnail=? WHERE pk=?";
const char *const kUpdateMessage = "Error: failed to update with message '%s'.";
const char *const kWriteMessage = "Error: failed to write the picture files with message '%s'.";

// Package pictures are at most 1280 pixels wide; a file far beyond that is not one of ours and is
// not read into memory.
constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;

// A null picture when the bytes do not decode.
QImage decodePicture(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    return QImage::fromData(data);
}

// Written beside the final name and renamed into place, so that a failed write leaves the old
// file. Returns why it failed, or an empty text.
QString writePictureFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    auto failure = [&] {
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    };
    // Unbuffered: a write the disk refuses fails with the system's reason.
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure();
    if (!FileOperations::writeAll(file, data.constData(), data.size()) || !file.commit())
        return failure();
    return {};
}

// Whether the picture was written: not when there is none; a failed write fails.
Result<bool> writeExported(const QString &file, const QByteArray &data)
{
    if (data.isEmpty())
        return false;
    if (const QString problem = writePictureFile(file, data); !problem.isEmpty())
        return Failure{problem};
    return true;
}

QImage squareAt(const QImage &picture, const QSize &size)
{
    return PhotoRendition::smoothlyScaled(PhotoRendition::middleSquare(picture), size);
}

// Why a file under the name is still there, or an empty text.
QString removeFileIfPresent(const QString &path)
{
    // Never a folder: whatever else sits under a picture's name is not ours to remove.
    if (path.isEmpty() || !(QFileInfo(path).isFile() || QFileInfo(path).isSymLink()))
        return {};
    QFile file(path);
    if (file.remove())
        return {};
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
}

} // namespace

Result<QByteArray> Image::readPictureFile(const QString &path)
{
    const auto fail = [&path](const QString &why) -> Result<QByteArray> {
        return Failure{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why)};
    };
    // Only regular files: a fifo or device under a picture's name would block or never end.
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return fail(localized("the file is missing"));
    if (!info.isFile())
        return fail(localized("it is not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    if (file.size() > kMaxPictureFileBytes)
        return fail(localized("it is larger than %1 MB").arg(kMaxPictureFileBytes / (1024 * 1024)));
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (data.isEmpty())
        return fail(localized("the file is empty"));
    return data;
}

Image::Image() = default;

Image::Image(qint64 primaryKey, SqliteConnection *database, const QString &path, bool abortOnError,
             int *initResult)
    : m_path(path)
{
    const int result = loadEagerFields(primaryKey, database, abortOnError);
    if (initResult)
        *initResult = result;
}

const Record::Statements &Image::statements() const
{
    static const Statements sql{
        "SELECT type, key, tag FROM image WHERE pk=?",
        "SELECT caption FROM image WHERE pk=?",
        "INSERT INTO image (type, key, tag, caption) VALUES(?, ?, ?, ?)",
        "UPDATE image SET type=?, key=?, tag=?, caption=? WHERE pk=?",
        "DELETE FROM image WHERE pk=?",
        "Error: failed to dehydrate with message '%s'.",
    };
    return sql;
}

void Image::readEager(const SqliteStatement &row)
{
    m_linkedType = row.columnInt64(0);
    m_linkedKey = row.columnInt64(1);
    m_tagValue = row.columnInt64(2);
}

void Image::applyEagerFallbacks()
{
    m_linkedType = kNone;
    m_linkedKey = kNone;
    m_tagValue = kNone;
}

void Image::readLazy(const SqliteStatement &row)
{
    m_caption = row.columnText(0);
}

void Image::releaseLazyFields()
{
    m_photo = QImage();
    m_dataForPhoto = QByteArray();
    m_caption = QString();
    m_hydratedCaption = false;
    releaseThumbnail();
}

void Image::releaseThumbnail()
{
    m_thumbnail = QImage();
    m_croppedThumbnail = QImage();
    m_dataForThumbnail = QByteArray();
    m_hydratedThumbnail = false;
}

void Image::bindInsert(SqliteStatement &statement) const
{
    statement.bindInt64(1, m_linkedType);
    statement.bindInt64(2, m_linkedKey);
    statement.bindInt64(3, m_tagValue);
    statement.bindText(4, m_caption);
}

int Image::bindUpdate(SqliteStatement &statement) const
{
    bindInsert(statement);
    return 4;
}

int Image::loadFieldsForSave()
{
    // The update writes the caption, the only lazy column; the pictures live in files.
    return hydrate_caption();
}

void Image::setCaption(const QString &caption)
{
    assign(m_caption, caption);
    // The caption now holds what the user wants stored; a later load must not replace it.
    m_hydratedCaption = true;
}

void Image::setPhoto(const QImage &picture)
{
    if (picture == m_photo)
        return;
    m_dirty = true;
    // The encoded data belong to the old picture.
    m_dataForPhoto = QByteArray();
    m_dataForThumbnail = QByteArray();
    const PhotoRendition rendition(picture);
    m_photo = rendition.photo();
    m_thumbnail = rendition.thumbnail();
    m_croppedThumbnail = rendition.squareThumbnail();
    ++m_pictureRevision;
}

bool Image::setPhotoFromFile(const QString &file)
{
    const QImage picture = PhotoRendition::readScaled(file, PhotoRendition::kPhotoSide, true);
    if (picture.isNull())
        return false;
    setPhoto(picture);
    return true;
}

void Image::setThumbnail(const QImage &thumbnail)
{
    const quint64 before = m_revision;
    assign(m_thumbnail, thumbnail);
    if (m_revision != before)
        ++m_pictureRevision;
}

void Image::cacheSquareThumbnail()
{
    m_croppedThumbnail = PhotoRendition::middleSquare(m_thumbnail);
    if (!m_croppedThumbnail.isNull())
        writeCacheFile(croppedThumbnailFilePath(), PhotoRendition::encodeJpeg(m_croppedThumbnail));
}

void Image::writeCacheFile(const QString &path, const QByteArray &data) const
{
    const QString problem =
        data.isEmpty()
            ? QStringLiteral("%1: the picture could not be encoded").arg(QDir::toNativeSeparators(path))
            : writePictureFile(path, data);
    if (!problem.isEmpty())
        qCWarning(imageFiles).noquote() << "The picture file was not written:" << problem;
}

QByteArray Image::readBlob(const char *sql, const char *method, int *status)
{
    *status = 0;
    StatementLease statement = m_database ? m_database->cached(sql) : StatementLease();
    if (!statement) {
        *status = failure(method, kPrepareMessage);
        return {};
    }
    statement->bindInt64(1, m_primaryKey);
    switch (statement->step()) {
    case SqliteStatement::Step::Row:
        return statement->columnBlob(0);
    case SqliteStatement::Step::Done:
        return {};
    case SqliteStatement::Step::Error:
        break;
    }
    // A read that failed is not a missing picture.
    *status = failure(method, kPrepareMessage);
    return {};
}

int Image::hydrate_thumbnail()
{
    if (m_hydratedThumbnail || m_primaryKey == -1)
        return 0;
    const QByteArray file = readPictureFile(thumbnailFilePath()).valueOr({});
    m_thumbnail = decodePicture(file);
    m_dataForThumbnail = m_thumbnail.isNull() ? QByteArray() : file;
    if (m_thumbnail.isNull()) {
        int status = 0;
        const QByteArray blob = readBlob(kThumbnailBlobQuery, "hydrate_thumbnail", &status);
        if (status != 0)
            return status;
        m_thumbnail = decodePicture(blob);
        if (m_thumbnail.isNull()) {
            m_croppedThumbnail = QImage();
        } else {
            // Rows of older databases: their pictures become files on first load.
            m_dataForThumbnail = blob;
            writeCacheFile(thumbnailFilePath(), blob);
            cacheSquareThumbnail();
        }
    } else {
        m_croppedThumbnail = decodePicture(readPictureFile(croppedThumbnailFilePath()).valueOr({}));
        // Lists show only the square thumbnail file; one that went missing is made again.
        if (m_croppedThumbnail.isNull())
            cacheSquareThumbnail();
    }
    m_hydratedThumbnail = true;
    return 0;
}

QImage Image::squareThumbnail(int side)
{
    if (side <= 0)
        return {};
    const QSize target(side, side);
    if (!m_croppedThumbnail.isNull())
        return squareAt(m_croppedThumbnail, target);
    if (m_hydratedThumbnail || m_primaryKey == -1)
        return {};
    const QImage fromFile = PhotoRendition::readScaled(croppedThumbnailFilePath(), side, false);
    if (!fromFile.isNull())
        return squareAt(fromFile, target);
    if (hydrate_thumbnail() != 0)
        return {};
    QImage square = m_croppedThumbnail.isNull() ? QImage() : squareAt(m_croppedThumbnail, target);
    releaseThumbnail();
    return square;
}

int Image::hydrate_caption()
{
    if (m_hydratedCaption || m_primaryKey == -1)
        return 0;
    if (readLazyRow("hydrate_caption") != 0)
        return 1;
    m_hydratedCaption = true;
    return 0;
}

int Image::hydrate()
{
    if (m_hydrated || m_primaryKey == -1)
        return 0;
    if (hydrate_thumbnail() != 0)
        return 1;
    const QByteArray file = readPictureFile(photoFilePath()).valueOr({});
    m_photo = decodePicture(file);
    m_dataForPhoto = m_photo.isNull() ? QByteArray() : file;
    if (m_photo.isNull()) {
        int status = 0;
        const QByteArray blob = readBlob(kPhotoBlobQuery, "hydrate", &status);
        if (status != 0)
            return status;
        m_photo = decodePicture(blob);
        m_dataForPhoto = m_photo.isNull() ? QByteArray() : blob;
        if (!m_photo.isNull())
            writeCacheFile(photoFilePath(), blob);
    }
    if (hydrate_caption() != 0)
        return 1;
    m_hydrated = true;
    return 0;
}

int Image::insertIntoDatabase(SqliteConnection *database, const QString &path, bool compressImage)
{
    m_database = database;
    if (compressImage) {
        m_dataForPhoto = PhotoRendition::encodeJpeg(m_photo);
        m_dataForThumbnail = PhotoRendition::encodeJpeg(m_thumbnail);
        const bool encoded = (m_photo.isNull() || !m_dataForPhoto.isEmpty()) &&
                             (m_thumbnail.isNull() || !m_dataForThumbnail.isEmpty());
        if (!encoded)
            return writeFailure("insertIntoDatabase", QStringLiteral("the picture could not be encoded"));
    } else if (m_thumbnail.isNull()) {
        // Imported data come without pictures; the square thumbnail is cut from the thumbnail.
        m_thumbnail = decodePicture(m_dataForThumbnail);
    }

    if (insertRow(database, path) != 0)
        return 1;
    QString problem = writeNewFiles();
    if (!problem.isEmpty()) {
        // A photo that is not on disk is not stored: take the row back.
        StatementLease remove = m_database->cached(statements().remove);
        if (remove) {
            remove->bindInt64(1, m_primaryKey);
            if (remove->step() != SqliteStatement::Step::Done)
                remove = StatementLease();
        }
        if (!remove)
            problem += QStringLiteral("; the row could not be removed: ") + m_database->errorMessage();
        m_primaryKey = -1;
        return writeFailure("insertIntoDatabase", problem);
    }
    m_hydrated = true;
    m_hydratedThumbnail = true;
    m_hydratedCaption = true;
    m_dirty = false;
    return 0;
}

int Image::insertRow(SqliteConnection *database, const QString &path)
{
    m_database = database;
    StatementLease statement = m_database ? m_database->cached(statements().insert) : StatementLease();
    if (!statement)
        return failure("insertIntoDatabase", kPrepareMessage);
    bindInsert(*statement);
    if (statement->step() != SqliteStatement::Step::Done)
        return failure("insertIntoDatabase", kInsertMessage);
    m_primaryKey = m_database->lastInsertRowId();
    m_path = path;
    m_dirty = false;
    return 0;
}

QString Image::writeNewFiles()
{
    m_croppedThumbnail = PhotoRendition::middleSquare(m_thumbnail);
    const std::pair<QString, QByteArray> files[] = {
        {photoFilePath(), m_dataForPhoto},
        {thumbnailFilePath(), m_dataForThumbnail},
        {croppedThumbnailFilePath(), PhotoRendition::encodeJpeg(m_croppedThumbnail)},
    };
    QStringList written;
    for (const auto &[file, data] : files) {
        // A key can come back after a deletion; what an earlier image left must not pass as ours.
        const QString problem = data.isEmpty() ? removeFileIfPresent(file) : writePictureFile(file, data);
        if (!problem.isEmpty()) {
            for (const QString &done : std::as_const(written))
                removeFileIfPresent(done);
            return problem;
        }
        if (!data.isEmpty())
            written.append(file);
    }
    return {};
}

int Image::writeFailure(const char *method, const QString &detail)
{
    if (m_abortOnError)
        raiseDatabaseError(method, className(), __FILE__, __LINE__, formatFailure(kWriteMessage, detail));
    return 1;
}

int Image::deleteFromDatabase()
{
    // The row first: when it cannot be deleted, the pictures it names must stay.
    if (deleteRow() != 0)
        return 1;
    removeFiles();
    return 0;
}

int Image::deleteRow()
{
    return Record::deleteFromDatabase();
}

void Image::removeFiles() const
{
    if (m_primaryKey == -1)
        return;
    removeFileIfPresent(photoFilePath());
    removeFileIfPresent(thumbnailFilePath());
    removeFileIfPresent(croppedThumbnailFilePath());
}

int Image::compareOrder(const Image &other) const
{
    if (m_tagValue < other.m_tagValue)
        return -1;
    return m_tagValue > other.m_tagValue ? 1 : 0;
}

int Image::addPhotosToDatabase(QStringList *unreadable)
{
    const Result<QByteArray> photo = readPictureFile(photoFilePath());
    const Result<QByteArray> thumbnail = readPictureFile(thumbnailFilePath());
    if (!photo || !thumbnail) {
        if (unreadable) {
            for (const Result<QByteArray> *picture : {&photo, &thumbnail}) {
                if (!picture->ok())
                    unreadable->append(picture->message());
            }
        }
        return 1;
    }
    StatementLease statement = m_database ? m_database->cached(kBlobUpdate) : StatementLease();
    if (!statement)
        return failure("addPhotosToDatabase", kPrepareMessage);
    statement->bindBlob(1, photo.value());
    statement->bindBlob(2, thumbnail.value());
    statement->bindInt64(3, m_primaryKey);
    if (statement->step() != SqliteStatement::Step::Done)
        return failure("addPhotosToDatabase", kUpdateMessage);
    return 0;
}

Result<bool> Image::exportToPath(const QString &file, PictureSize size)
{
    switch (size) {
    case PictureSize::Small: {
        const QString source = thumbnailFilePath();
        if (!QFileInfo(source).isFile() && !m_hydratedThumbnail) {
            // Loading writes the file from the row's blob, if there is one.
            if (hydrate_thumbnail() != 0)
                return false;
            releaseThumbnail();
        }
        QFile thumbnail(source);
        if (!QFileInfo(source).isFile() || !thumbnail.open(QIODevice::ReadOnly))
            return false;
        const QByteArray data = thumbnail.readAll();
        return writeExported(file, data);
    }
    case PictureSize::Medium:
        return exportPhotoToPath(file, 512);
    case PictureSize::Large:
        return exportPhotoToPath(file, 1024);
    case PictureSize::ExtraLarge:
        return exportPhotoToPath(file, PhotoRendition::kPhotoSide);
    }
    return false;
}

// The photo's own rule: a photo that already fits the requested side is written at its size,
// never enlarged (an 800 x 600 photo exported at 1024 stays 800 x 600).
Result<bool> Image::exportPhotoToPath(const QString &file, int longestSide)
{
    if (longestSide <= 0)
        return false;
    const QString source = photoFilePath();
    if (!QFileInfo(source).isFile() && !m_hydrated) {
        // Loading writes the file from the row's blob, if there is one.
        if (hydrate() != 0 || dehydrate() != 0)
            return false;
    }
    const QImage picture = PhotoRendition::readScaled(source, longestSide, false);
    if (picture.isNull())
        return false;
    return writeExported(file, PhotoRendition::encodeJpeg(picture));
}

QString Image::photoFilePath() const
{
    return m_path.isEmpty() ? QString() : QDir(m_path).filePath(photoFileName(m_primaryKey));
}

QString Image::thumbnailFilePath() const
{
    return m_path.isEmpty() ? QString() : QDir(m_path).filePath(thumbnailFileName(m_primaryKey));
}

QString Image::croppedThumbnailFilePath() const
{
    return m_path.isEmpty() ? QString() : QDir(m_path).filePath(croppedThumbnailFileName(m_primaryKey));
}

QString Image::photoFileName(qint64 key)
{
    return QStringLiteral("vl-%1.jpg").arg(static_cast<quint64>(key));
}

QString Image::thumbnailFileName(qint64 key)
{
    return QStringLiteral("vl-%1t.jpg").arg(static_cast<quint64>(key));
}

QString Image::croppedThumbnailFileName(qint64 key)
{
    return QStringLiteral("vl-%1ct.jpg").arg(static_cast<quint64>(key));
}

} // namespace velumark
