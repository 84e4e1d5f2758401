#pragma once

#include <QFuture>
#include <QImage>
#include <QSizeF>
#include <QThreadPool>
#include <list>
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

    // Starts reading the square thumbnails of `side` points of these images from their files
    // (those not read or being read already), for a page about to be drawn.
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
    // Pictures read together on the worker, in the order of their keys.
    struct Batch
    {
        std::vector<Key> keys;
        QFuture<std::vector<QImage>> pictures;
    };
    static constexpr size_t kReadAhead = 2;

    QImage picture(Image &image, Kind kind, double side);
    std::list<std::pair<Key, QImage>>::iterator findKept(const Key &key);
    std::vector<Batch>::iterator findReading(const Key &key);
    void keep(const Key &key, const QImage &picture);
    static QImage load(Image &image, Kind kind, const QSize &box);

    // Most recently used first.
    std::list<std::pair<Key, QImage>> m_kept;
    std::vector<Batch> m_reading;
    // Declared last, so that it goes first and waits for the reads still running.
    QThreadPool m_readers;
};

} // namespace velumark::editing
