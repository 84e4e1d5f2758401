#pragma once

#include <QFuture>
#include <QImage>
#include <QSizeF>
#include <QThreadPool>
#include <list>
#include <optional>
#include <utility>
#include <vector>

namespace velumark {
class Image;
}

namespace velumark::editing {

// The pictures of a printout, read from the package's files at about the size they are printed
// (at least twice their size in points, 144 dots per inch) without keeping them in the records, so
// that a printout of thousands of rows holds no more than a few pictures at a time. The last
// few pictures are kept: a picture printed again soon (the same artwork in several rows) is
// read once and, in a PDF file, stored once. The square thumbnails of a coming page may be read
// ahead on a worker thread while the page before it is drawn.
class PrintPictures
{
public:
    static constexpr double kDotsPerPoint = 2;
    static constexpr size_t kKept = 32;

    PrintPictures();
    ~PrintPictures();
    PrintPictures(const PrintPictures &) = delete;
    PrintPictures &operator=(const PrintPictures &) = delete;

    // Starts reading the square thumbnails of `side` points of these images from their files;
    // reads started before for images not among them are dropped.
    void readAheadSquareThumbnails(const std::vector<Image *> &images, double side);
    // The square thumbnail of a list row, filling a square of `side` points.
    QImage squareThumbnail(Image &image, double side);
    // The thumbnail of a sheet, fitting a box of `side` points with its proportions kept.
    QImage thumbnail(Image &image, double side);

private:
    enum class Kind
    {
        Square,
        Fitted
    };
    struct Key
    {
        const Image *image;
        Kind kind;
        QSize box;
        bool operator==(const Key &) const = default;
    };
    QImage picture(Image &image, Kind kind, double side);
    bool isKept(const Key &key) const;
    // The picture read ahead for the key, if a read was started (null when the file gave none).
    std::optional<QImage> takeReadAhead(const Key &key);
    static QImage load(Image &image, Kind kind, const QSize &box);

    // Most recently used first.
    std::list<std::pair<Key, QImage>> m_kept;
    std::vector<std::pair<Key, QFuture<QImage>>> m_reading;
    // Declared last, so that it goes first and waits for the reads still running.
    QThreadPool m_readers;
};

} // namespace velumark::editing
