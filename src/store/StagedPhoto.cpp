#include "store/StagedPhoto.h"

#include "store/FileOperations.h"
#include "store/Image.h"
#include "store/Leftovers.h"
#include "store/Localization.h"
#include "store/PhotoRendition.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace velumark {

namespace {

// A JPEG cut short still decodes (the decoder pads it with grey), so it is told by its end: after
// the last start of scan there must be the end-of-image marker. Inside scan data a 0xFF byte is
// always followed by 0x00 or a restart marker, so the marker cannot appear there by chance.
bool jpegIsComplete(QByteArrayView data)
{
    const qsizetype scan = data.lastIndexOf(QByteArrayView("\xFF\xDA", 2));
    return scan >= 0 && data.indexOf(QByteArrayView("\xFF\xD9", 2), scan) >= 0;
}

// Why the file cannot be imported, or an empty text. Reads the header only, except for the end
// of a JPEG, which it reads through a mapping.
QString refusal(const QString &source)
{
    const QFileInfo info(source);
    if (info.isDir())
        return localized("it is a folder");
    if (!info.exists())
        return localized("the file is missing");
    if (!info.isFile())
        return localized("it is not a file");
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.size() == 0)
        return localized("the file is empty");
    QImageReader reader(&file);
    if (!reader.canRead())
        return localized("it is not a picture that can be read");
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > StagedPhoto::kMaxPixels)
        return localized("it is %1 x %2 pixels, more than a photo can have")
            .arg(size.width())
            .arg(size.height());
    if (reader.format() == "jpeg") {
        const uchar *bytes = file.map(0, file.size());
        if (!bytes)
            return file.errorString();
        const bool complete = jpegIsComplete(QByteArrayView(bytes, file.size()));
        file.unmap(const_cast<uchar *>(bytes));
        if (!complete)
            return localized("the picture is incomplete");
    }
    return {};
}

QString named(const QString &path, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// Unbuffered, so that a write the disk refuses fails here with the system's reason. Synced here,
// on the worker: the row that names the file commits only after it, so a power cut cannot leave a
// row with an empty file, and the main thread's commit does not wait for these pictures to reach
// the disk.
QString writeNewFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) ||
        !FileOperations::writeAll(file, data.constData(), data.size()))
        reason = file.errorString();
    else if (::fdatasync(file.handle()) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    if (!reason.isEmpty()) {
        file.close();
        QFile::remove(path);
    }
    return reason;
}

bool renameReplacing(const QString &from, const QString &to, QString *reason)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(),
                            error);
    if (error && reason)
        *reason = QString::fromLocal8Bit(error.message());
    return !error;
}

std::array<QString, 3> finalNames(const QString &packagePath, qint64 key)
{
    const QDir package(packagePath);
    return {package.filePath(Image::photoFileName(key)), package.filePath(Image::thumbnailFileName(key)),
            package.filePath(Image::croppedThumbnailFileName(key))};
}

} // namespace

StagedPhoto::~StagedPhoto()
{
    discard();
}

StagedPhoto::StagedPhoto(StagedPhoto &&other) noexcept : m_files(std::exchange(other.m_files, {})) {}

StagedPhoto &StagedPhoto::operator=(StagedPhoto &&other) noexcept
{
    if (this != &other) {
        discard();
        m_files = std::exchange(other.m_files, {});
    }
    return *this;
}

StagedPhoto StagedPhoto::make(const QString &source, const QString &packagePath,
                              const std::atomic<bool> &abort, Problem *problem, QString *message)
{
    const auto fail = [&](Problem kind, const QString &path, const QString &reason) {
        *problem = kind;
        *message = kind == Problem::Cancelled ? QString() : named(path, reason);
        return StagedPhoto();
    };
    if (abort)
        return fail(Problem::Cancelled, source, {});
    if (const QString reason = refusal(source); !reason.isEmpty())
        return fail(Problem::BadInput, source, reason);
    const PhotoRendition picture = PhotoRendition::fromFile(source);
    if (picture.isNull())
        return fail(Problem::BadInput, source, localized("the picture could not be decoded"));
    if (abort)
        return fail(Problem::Cancelled, source, {});
    const QByteArray data[] = {PhotoRendition::encodeJpeg(picture.photo()),
                               PhotoRendition::encodeJpeg(picture.thumbnail()),
                               PhotoRendition::encodeJpeg(picture.squareThumbnail())};
    for (const QByteArray &encoded : data) {
        if (encoded.isEmpty())
            return fail(Problem::BadInput, source, localized("the picture could not be encoded"));
    }
    if (abort)
        return fail(Problem::Cancelled, source, {});
    StagedPhoto staged;
    const QString base = QDir(packagePath).filePath(QStringLiteral("vl-new.jpg"));
    for (size_t i = 0; i < staged.m_files.size(); ++i) {
        const QString path = Leftovers::stagingPathFor(base);
        if (const QString reason = writeNewFile(path, data[i]); !reason.isEmpty())
            return fail(Problem::WriteFailed, source,
                        localized("it could not be written into the catalogue: %1").arg(reason));
        staged.m_files[i] = path;
    }
    *problem = Problem::None;
    message->clear();
    return staged;
}

Result<> StagedPhoto::moveInto(const QString &packagePath, qint64 key)
{
    const std::array<QString, 3> targets = finalNames(packagePath, key);
    for (size_t i = 0; i < targets.size(); ++i) {
        QString reason;
        if (!renameReplacing(m_files[i], targets[i], &reason)) {
            for (size_t done = 0; done < i; ++done)
                renameReplacing(targets[done], m_files[done], nullptr);
            return Failure{named(targets[i], reason)};
        }
    }
    m_files = {};
    return {};
}

void StagedPhoto::removeFinalFiles(const QString &packagePath, qint64 key)
{
    for (const QString &file : finalNames(packagePath, key))
        QFile::remove(file);
}

void StagedPhoto::discard()
{
    for (QString &file : m_files) {
        if (!file.isEmpty())
            QFile::remove(file);
        file.clear();
    }
}

} // namespace velumark
