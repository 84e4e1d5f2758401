#pragma once

#include <QImage>
#include <QObject>
#include <list>
#include <unordered_map>

namespace velumark {

class DocumentNotifier;
class Image;

// The square thumbnails the lists draw, at the pixel size they are drawn, for the most recently
// drawn images only: a list of many thousand photos keeps no picture on its records and holds no
// more than `capacity` thumbnails, the least recently used going first. An entry is dropped when
// its image is removed or the document reloads, and made again when the image's picture changed.
// Main thread only, like the document.
class ThumbnailCache : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultCapacity = 300;

    explicit ThumbnailCache(DocumentNotifier &notifier, int capacity = kDefaultCapacity);
    ~ThumbnailCache() override;

    // The image's square thumbnail at side x side pixels (Image::squareThumbnail); null without
    // a picture. A DatabaseError of the image's loading is raised once; the image then counts as
    // having no picture until its entry is dropped.
    QImage squareThumbnail(Image &image, int side);

    int count() const { return static_cast<int>(m_entries.size()); }
    int capacity() const { return m_capacity; }
    bool holds(const Image *image, int side) const;
    // Drops every entry of the image.
    void forget(const Image *image);
    void clear();

private:
    struct Key
    {
        const Image *image;
        int side;
        bool operator==(const Key &) const = default;
    };
    struct KeyHash
    {
        size_t operator()(const Key &key) const noexcept;
    };
    struct Entry
    {
        Key key;
        quint64 revision;
        QImage picture;
    };
    using Entries = std::list<Entry>;

    void store(const Key &key, quint64 revision, QImage picture);

    int m_capacity;
    // Most recently used first.
    Entries m_entries;
    std::unordered_map<Key, Entries::iterator, KeyHash> m_index;
};

} // namespace velumark
