#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

namespace velumark::test {

// A JPEG picture of the given size and colour.
QByteArray jpegBytes(int width, int height, const QColor &color = QColor(200, 80, 40));

// Databases as older versions of the application wrote them, for upgrade and import tests.
// Version 1: no artist table, images as blobs only. Version 2: adds the artist table and the
// export header columns. Both hold two artworks; the first names two image rows through
// photo1_key and photo2_key (with picture blobs), the second none; one image row belongs to no
// artwork; one client and one submission linking them.
void buildVersion1Database(const QString &path);
void buildVersion2Database(const QString &path);

} // namespace velumark::test
