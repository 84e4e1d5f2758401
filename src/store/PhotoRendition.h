#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace velumark {

// A photo at the package's sizes: the photo (longest side at most 1280, the other truncated), the
// thumbnail (longest side 320) and the square thumbnail cut from the middle of the thumbnail.
// Holds no row and writes no file, so a worker thread can make one.
class PhotoRendition
{
public:
    static constexpr int kPhotoSide = 1280;
    static constexpr int kThumbnailSide = 320;
    static constexpr int kJpegQuality = 60;

    PhotoRendition() = default;
    explicit PhotoRendition(const QImage &picture);
    // Reads a picture file, turned upright by its orientation tag, and decodes a large JPEG at a
    // reduced scale; the photo gets the size the rule gives for the upright full size. Null when the
    // file does not decode.
    static PhotoRendition fromFile(const QString &file);

    bool isNull() const { return m_photo.isNull(); }
    const QImage &photo() const { return m_photo; }
    const QImage &thumbnail() const { return m_thumbnail; }
    const QImage &squareThumbnail() const { return m_squareThumbnail; }

    // The size with the longer side at `longest` and the other truncated, but at least 1 pixel;
    // sizes that already fit stay as they are when `onlyShrink` is set. An empty size stays.
    static QSize scaledSize(const QSize &size, int longest, bool onlyShrink);
    static QImage smoothlyScaled(const QImage &picture, const QSize &size);
    // The largest square from the middle; null for a null picture.
    static QImage middleSquare(const QImage &picture);
    // A picture file decoded with its longest side at most `longest` (see fromFile); null when it
    // does not decode.
    static QImage readScaled(const QString &path, int longest, bool applyOrientation);
    // JPEG of the package's quality; empty for a null picture or when encoding failed.
    static QByteArray encodeJpeg(const QImage &picture);

private:
    QImage m_photo;
    QImage m_thumbnail;
    QImage m_squareThumbnail;
};

} // namespace velumark
