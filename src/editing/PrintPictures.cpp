#include "editing/PrintPictures.h"

#include "store/Image.h"

#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace velumark::editing {

namespace {

QSize boxInDots(double side)
{
    const int dots = std::max(1, static_cast<int>(std::ceil(side * PrintPictures::kDotsPerPoint)));
    return QSize(dots, dots);
}

// The picture scaled down to fit the box; a smaller one stays as it is (the painter scales it).
QImage fitted(const QImage &picture, const QSize &box)
{
    if (picture.isNull() || (picture.width() <= box.width() && picture.height() <= box.height()))
        return picture;
    return picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A JPEG file decodes at a half, a quarter or an eighth of its size for a fraction of the work.
// The smallest of these that still covers the box is read as it comes, without scaling again.
QImage readFile(const QString &file, const QSize &box, bool square)
{
    QImageReader reader(file);
    const QSize size = reader.size();
    if (size.isValid()) {
        for (const int divisor : {8, 4, 2}) {
            const QSize reduced((size.width() + divisor - 1) / divisor,
                                (size.height() + divisor - 1) / divisor);
            const int side = square ? std::min(reduced.width(), reduced.height())
                                    : std::max(reduced.width(), reduced.height());
            if (side >= box.width()) {
                reader.setScaledSize(reduced);
                break;
            }
        }
    }
    // Even an eighth of a large file is far more than the printout needs.
    const QImage read = reader.read();
    const bool oversized = read.width() > 2 * box.width() || read.height() > 2 * box.height();
    return oversized ? fitted(read, box) : read;
}

} // namespace

PrintPictures::PrintPictures()
{
    // One reader beside the thread that draws: decoding a page's pictures takes less time than
    // drawing a page.
    m_readers.setMaxThreadCount(1);
}

PrintPictures::~PrintPictures() = default;

void PrintPictures::readAheadSquareThumbnails(const std::vector<Image *> &images, double side)
{
    std::vector<std::pair<Key, QFuture<QImage>>> reading;
    for (Image *image : images) {
        // Pictures held by the record, or not stored yet, are not read from files.
        if (!image || image->primaryKey() == -1 || !image->croppedThumbnail().isNull())
            continue;
        const Key key{image, Kind::Square, boxInDots(side)};
        const auto same = [&key](const auto &entry) {
            return entry.first == key;
        };
        if (isKept(key) || std::any_of(reading.begin(), reading.end(), same))
            continue;
        if (const auto started = std::find_if(m_reading.begin(), m_reading.end(), same);
            started != m_reading.end()) {
            reading.push_back(std::move(*started));
            continue;
        }
        reading.emplace_back(
            key, QtConcurrent::run(&m_readers, readFile, image->croppedThumbnailFilePath(), key.box, true));
    }
    m_reading = std::move(reading);
}

QImage PrintPictures::squareThumbnail(Image &image, double side)
{
    return picture(image, Kind::Square, side);
}

QImage PrintPictures::thumbnail(Image &image, double side)
{
    return picture(image, Kind::Fitted, side);
}

bool PrintPictures::isKept(const Key &key) const
{
    return std::any_of(m_kept.begin(), m_kept.end(),
                       [&key](const auto &entry) { return entry.first == key; });
}

std::optional<QImage> PrintPictures::takeReadAhead(const Key &key)
{
    const auto started = std::find_if(m_reading.begin(), m_reading.end(),
                                      [&key](const auto &entry) { return entry.first == key; });
    if (started == m_reading.end())
        return std::nullopt;
    QImage read = started->second.result();
    m_reading.erase(started);
    return read;
}

QImage PrintPictures::picture(Image &image, Kind kind, double side)
{
    const Key key{&image, kind, boxInDots(side)};
    for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
        if (it->first == key) {
            m_kept.splice(m_kept.begin(), m_kept, it);
            return it->second;
        }
    }
    const std::optional<QImage> readAhead = takeReadAhead(key);
    QImage loaded = readAhead && !readAhead->isNull() ? *readAhead : load(image, kind, key.box);
    m_kept.emplace_front(key, loaded);
    if (m_kept.size() > kKept)
        m_kept.pop_back();
    return loaded;
}

QImage PrintPictures::load(Image &image, Kind kind, const QSize &box)
{
    const auto held = [&]() -> const QImage & {
        return kind == Kind::Square ? image.croppedThumbnail() : image.thumbnail();
    };
    // Pictures of a photo not stored yet, or already loaded, are in the record.
    if (!held().isNull() || image.primaryKey() == -1)
        return fitted(held(), box);
    const bool square = kind == Kind::Square;
    QImage read =
        readFile(square ? image.croppedThumbnailFilePath() : image.thumbnailFilePath(), box, square);
    if (!read.isNull())
        return read;
    // Photos of older catalogues are kept in the database until first loaded, which writes them
    // out as files.
    image.hydrate_thumbnail();
    return fitted(held(), box);
}

} // namespace velumark::editing
