#include "document/ThumbnailCache.h"

#include "document/DocumentNotifier.h"
#include "store/DatabaseError.h"
#include "store/Image.h"

#include <functional>

namespace velumark {

ThumbnailCache::ThumbnailCache(DocumentNotifier &notifier, int capacity) : m_capacity(qMax(1, capacity))
{
    using Kind = DocumentNotifier::Kind;
    // A freed image's address may come back for another image: its entries go with it.
    connect(&notifier, &DocumentNotifier::recordAboutToBeRemoved, this, [this](Kind kind, Record *record) {
        if (kind == Kind::Image)
            forget(static_cast<const Image *>(record));
    });
    connect(&notifier, &DocumentNotifier::recordChanged, this, [this](Kind kind, Record *record) {
        if (kind == Kind::Image)
            forget(static_cast<const Image *>(record));
    });
    connect(&notifier, &DocumentNotifier::listsAboutToBeReloaded, this, &ThumbnailCache::clear);
}

ThumbnailCache::~ThumbnailCache() = default;

size_t ThumbnailCache::KeyHash::operator()(const Key &key) const noexcept
{
    return std::hash<const void *>()(key.image) ^ (std::hash<int>()(key.side) << 1);
}

QImage ThumbnailCache::squareThumbnail(Image &image, int side)
{
    const Key key{&image, side};
    if (const auto found = m_index.find(key); found != m_index.end()) {
        const Entries::iterator entry = found->second;
        if (entry->revision == image.pictureRevision()) {
            m_entries.splice(m_entries.begin(), m_entries, entry);
            return entry->picture;
        }
        m_entries.erase(entry);
        m_index.erase(found);
    }
    const quint64 revision = image.pictureRevision();
    try {
        QImage picture = image.squareThumbnail(side);
        store(key, revision, picture);
        return picture;
    } catch (const DatabaseError &) {
        store(key, revision, QImage());
        throw;
    }
}

void ThumbnailCache::store(const Key &key, quint64 revision, QImage picture)
{
    m_entries.push_front(Entry{key, revision, std::move(picture)});
    m_index[key] = m_entries.begin();
    while (static_cast<int>(m_entries.size()) > m_capacity) {
        m_index.erase(m_entries.back().key);
        m_entries.pop_back();
    }
}

bool ThumbnailCache::holds(const Image *image, int side) const
{
    return m_index.count(Key{image, side}) > 0;
}

void ThumbnailCache::forget(const Image *image)
{
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        if (entry->key.image == image) {
            m_index.erase(entry->key);
            entry = m_entries.erase(entry);
        } else {
            ++entry;
        }
    }
}

void ThumbnailCache::clear()
{
    m_index.clear();
    m_entries.clear();
}

} // namespace velumark
