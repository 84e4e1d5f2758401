#pragma once

#include <QString>

namespace velumark::bench {

// One catalogue size of the benchmarks: the large one is four times the small one.
struct CatalogueSize
{
    QString name; // "small", "large"
    int artworks;
    int clients;
    int submissions;
    int photos;
};

CatalogueSize smallSize();
CatalogueSize largeSize();

// The sample catalogue of that size (seed 1) under the data folder, made through the document's
// own operations the first time and kept for later runs. Without photos it holds no images.
QString preparedCatalogue(const QString &dataFolder, const CatalogueSize &size, bool withPhotos);

// A camera-like JPEG of that size (painted once, with grain so that it compresses like a photo).
QString preparedCameraPicture(const QString &dataFolder, int width, int height);

// A package of its own holding a copy of the catalogue's database only (the photos stay behind):
// for benchmarks that change the data.
QString scratchPackage(const QString &catalogue, const QString &target);

} // namespace velumark::bench
