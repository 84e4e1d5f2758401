#include "editing/PhotoBrowser.h"

#include "editing/ArtworkPhotos.h"
#include "store/Image.h"

#include <algorithm>

namespace velumark::editing {

PhotoBrowser::PhotoBrowser(ArtworkPhotos &photos, QObject *parent) : QObject(parent), m_photos(photos) {}

void PhotoBrowser::start(Image *image)
{
    if (!image || m_current)
        return;
    m_current = image;
    load(image);
    emit currentChanged(image);
}

PhotoBrowser::~PhotoBrowser() = default;

void PhotoBrowser::showPrevious(const QString &caption)
{
    show(m_current ? m_photos.previous(m_current) : nullptr, caption);
}

void PhotoBrowser::showNext(const QString &caption)
{
    show(m_current ? m_photos.next(m_current) : nullptr, caption);
}

void PhotoBrowser::showFirst(const QString &caption)
{
    show(m_photos.imageInSlot(0), caption);
}

void PhotoBrowser::showLast(const QString &caption)
{
    show(m_photos.count() > 0 ? m_photos.images().back() : nullptr, caption);
}

void PhotoBrowser::close(const QString &caption)
{
    if (m_current)
        m_photos.setCaption(m_current, caption);
    while (!m_loaded.empty())
        release(m_loaded.front());
}

void PhotoBrowser::show(Image *image, const QString &caption)
{
    if (m_current)
        m_photos.setCaption(m_current, caption);
    if (!image || image == m_current)
        return;
    m_current = image;
    load(image);
    emit currentChanged(image);
}

void PhotoBrowser::load(Image *image)
{
    image->hydrate();
    if (std::find(m_loaded.begin(), m_loaded.end(), image) != m_loaded.end())
        return;
    m_loaded.push_back(image);
    if (m_loaded.size() > kMaxLoaded)
        release(m_loaded.front());
}

void PhotoBrowser::release(Image *image)
{
    std::erase(m_loaded, image);
    image->dehydrate();
}

} // namespace velumark::editing
