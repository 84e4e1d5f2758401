#pragma once

#include "support/Files.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace velumark::test {

// Picture files for the photo tests, made with QImage.

// Bands of colour whose number tells pictures apart, with some noise so that the JPEG has the size
// of a real photo's rather than a flat picture's.
QImage photoLikePicture(int width, int height, int seed);
QByteArray jpegOf(const QImage &picture, int quality = 85);
// A JPEG whose header claims the size (its data are those of a small picture): what a picture
// made to exhaust memory looks like before it is decoded.
QByteArray jpegClaimingSize(int width, int height);
// The first half of a JPEG.
QByteArray truncatedJpeg();
// The names of the picture files in a catalogue's package, in name order.
QStringList pictureFiles(const QString &package);

} // namespace velumark::test
