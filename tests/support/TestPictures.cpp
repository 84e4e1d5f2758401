#include "support/TestPictures.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QRandomGenerator>

namespace velumark::test {

QImage photoLikePicture(int width, int height, int seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv((seed * 47) % 360, 160, 200));
    QPainter painter(&picture);
    for (int band = 0; band <= seed % 7; ++band)
        painter.fillRect(QRect(band * width / 8, 0, width / 16, height),
                         QColor::fromHsv((seed * 13 + band * 50) % 360, 255, 120));
    painter.end();
    QRandomGenerator noise{quint32(seed)};
    for (int y = 0; y < height; y += 2) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; x += 3)
            line[x] ^= noise.bounded(0x40) * 0x010101u;
    }
    return picture;
}

QByteArray jpegOf(const QImage &picture, int quality)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", quality);
    return data;
}

QByteArray jpegClaimingSize(int width, int height)
{
    QByteArray data = jpegOf(photoLikePicture(64, 64, 1));
    // The baseline frame header: marker, length (2), precision (1), height (2), width (2).
    const qsizetype frame = data.indexOf(QByteArray("\xFF\xC0", 2));
    if (frame < 0)
        return {};
    data[frame + 5] = char(height >> 8);
    data[frame + 6] = char(height & 0xFF);
    data[frame + 7] = char(width >> 8);
    data[frame + 8] = char(width & 0xFF);
    return data;
}

QByteArray truncatedJpeg()
{
    const QByteArray whole = jpegOf(photoLikePicture(800, 600, 3));
    return whole.left(whole.size() / 2);
}

QStringList pictureFiles(const QString &package)
{
    return QDir(package).entryList({QStringLiteral("vl-*")}, QDir::Files, QDir::Name);
}

} // namespace velumark::test
