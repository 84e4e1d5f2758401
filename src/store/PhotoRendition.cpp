#include "store/PhotoRendition.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace velumark {

PhotoRendition::PhotoRendition(const QImage &picture)
{
    QImage source = picture;
    source.setDevicePixelRatio(1);
    m_photo = smoothlyScaled(source, scaledSize(source.size(), kPhotoSide, true));
    m_thumbnail = smoothlyScaled(m_photo, scaledSize(m_photo.size(), kThumbnailSide, false));
    m_squareThumbnail = middleSquare(m_thumbnail);
}

PhotoRendition PhotoRendition::fromFile(const QString &file)
{
    const QImage picture = readScaled(file, kPhotoSide, true);
    return picture.isNull() ? PhotoRendition() : PhotoRendition(picture);
}

QSize PhotoRendition::scaledSize(const QSize &size, int longest, bool onlyShrink)
{
    if (size.isEmpty() || longest <= 0)
        return size;
    const qint64 width = size.width();
    const qint64 height = size.height();
    if (onlyShrink && width <= longest && height <= longest)
        return size;
    // Truncated as the rule says, but never to nothing: a sliver stays a picture.
    if (height <= width)
        return QSize(longest, static_cast<int>(qMax<qint64>(1, height * longest / width)));
    return QSize(static_cast<int>(qMax<qint64>(1, width * longest / height)), longest);
}

QImage PhotoRendition::smoothlyScaled(const QImage &picture, const QSize &size)
{
    if (picture.size() == size)
        return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage PhotoRendition::middleSquare(const QImage &picture)
{
    const int side = qMin(picture.width(), picture.height());
    if (side <= 0)
        return {};
    return picture.copy((picture.width() - side) / 2, (picture.height() - side) / 2, side, side);
}

// A JPEG is decoded by libjpeg at a reduced scale that still covers the size the rule gives, then
// scaled smoothly to it exactly, so a large camera file needs neither the time nor the memory of
// its full size.
QImage PhotoRendition::readScaled(const QString &path, int longest, bool applyOrientation)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setAutoTransform(applyOrientation);
    // Above the decoder's threshold: accurate DCT and smooth scaling to the requested size.
    reader.setQuality(100);
    const QSize stored = reader.size();
    // The orientation tag turns the picture after decoding: the rule applies to the upright size,
    // the decoder's scaled size to the stored one.
    const bool turned =
        applyOrientation && (reader.transformation() & QImageIOHandler::TransformationRotate90);
    QSize target;
    if (stored.isValid() && !stored.isEmpty()) {
        const QSize upright = turned ? stored.transposed() : stored;
        target = scaledSize(upright, longest, true);
        if (reader.format() == "jpeg" && target != upright)
            reader.setScaledSize(turned ? target.transposed() : target);
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    if (!target.isValid())
        target = scaledSize(picture.size(), longest, true);
    picture.setDevicePixelRatio(1);
    return smoothlyScaled(picture, target);
}

QByteArray PhotoRendition::encodeJpeg(const QImage &picture)
{
    if (picture.isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "JPEG", kJpegQuality))
        return {};
    return data;
}

} // namespace velumark
