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

// A JPEG file decodes at a half, a quarter or an eighth of its size for a fraction of the work:
// the smallest of these that still covers the box is read, then scaled to the box. The scaling
// costs the reader less than the picture's extra pixels would cost the thread that draws, which
// encodes every picture again for the PDF file.
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
    return fitted(reader.read(), box);
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
    Batch batch;
    QStringList files;
    for (Image *image : images) {
        // Pictures held by the record, or not stored yet, are not read from files.
        if (!image || image->primaryKey() == -1 || !image->croppedThumbnail().isNull())
            continue;
        const Key key{image, Kind::Square, boxInDots(side)};
        if (findKept(key) != m_kept.end() || findReading(key) != m_reading.end() ||
            std::find(batch.keys.begin(), batch.keys.end(), key) != batch.keys.end())
            continue;
        batch.keys.push_back(key);
        files.push_back(image->croppedThumbnailFilePath());
    }
    if (batch.keys.empty())
        return;
    // One task for all of them: starting a task costs more than it should beside a small picture.
    batch.pictures = QtConcurrent::run(&m_readers, [files, box = batch.keys.front().box] {
        std::vector<QImage> read;
        read.reserve(static_cast<size_t>(files.size()));
        for (const QString &file : files)
            read.push_back(readFile(file, box, true));
        return read;
    });
    m_reading.push_back(std::move(batch));
    // Pages asked for and never drawn (a preview that jumps) do not pile up.
    if (m_reading.size() > kReadAhead)
        m_reading.erase(m_reading.begin());
}

QImage PrintPictures::squareThumbnail(Image &image, double side)
{
    return picture(image, Kind::Square, side);
}

QImage PrintPictures::thumbnail(Image &image, double side)
{
    return picture(image, Kind::Fitted, side);
}

std::list<std::pair<PrintPictures::Key, QImage>>::iterator PrintPictures::findKept(const Key &key)
{
    return std::find_if(m_kept.begin(), m_kept.end(),
                        [&key](const auto &entry) { return entry.first == key; });
}

std::vector<PrintPictures::Batch>::iterator PrintPictures::findReading(const Key &key)
{
    return std::find_if(m_reading.begin(), m_reading.end(), [&key](const Batch &batch) {
        return std::find(batch.keys.begin(), batch.keys.end(), key) != batch.keys.end();
    });
}

void PrintPictures::keep(const Key &key, const QImage &picture)
{
    m_kept.emplace_front(key, picture);
    if (m_kept.size() > kKept)
        m_kept.pop_back();
}

QImage PrintPictures::picture(Image &image, Kind kind, double side)
{
    const Key key{&image, kind, boxInDots(side)};
    if (const auto reading = findReading(key); reading != m_reading.end()) {
        const std::vector<QImage> read = reading->pictures.result();
        // A file that gave nothing is tried again below, with the record's own fallbacks.
        for (size_t i = 0; i < read.size(); ++i) {
            if (!read[i].isNull())
                keep(reading->keys[i], read[i]);
        }
        m_reading.erase(reading);
    }
    if (const auto kept = findKept(key); kept != m_kept.end()) {
        m_kept.splice(m_kept.begin(), m_kept, kept);
        return kept->second;
    }
    QImage loaded = load(image, kind, key.box);
    keep(key, loaded);
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
