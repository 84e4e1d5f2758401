#pragma once

#include <QImage>
#include <QSizeF>
#include <list>
#include <utility>

namespace velumark {
class Image;
}

namespace velumark::editing {

// The pictures of a printout, read from the package's files at about the size they are printed
// (at least twice their size in points, 144 dots per inch) without keeping them in the records, so
// that a printout of thousands of rows holds no more than a few pictures at a time. The last
// few pictures are kept: a picture printed again soon (the same artwork in several rows) is
// read once and, in a PDF file, stored once.
class PrintPictures
{
public:
    static constexpr double kDotsPerPoint = 2;
    static constexpr size_t kKept = 32;

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
    QImage picture(Image &image, Kind kind, double side);
    static QImage load(Image &image, Kind kind, const QSize &box);

    struct Key
    {
        const Image *image;
        Kind kind;
        QSize box;
        bool operator==(const Key &) const = default;
    };
    // Most recently used first.
    std::list<std::pair<Key, QImage>> m_kept;
};

} // namespace velumark::editing
