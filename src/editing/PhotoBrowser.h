#pragma once

#include <QObject>
#include <deque>

namespace velumark {
class Image;
}

namespace velumark::editing {

class ArtworkPhotos;

// What the photo viewer shows: one photo of the working list at a time, previous and next wrapping
// at the ends, the caption stored when the viewer moves on or closes. Photos are loaded in full
// when shown; at most 20 stay loaded, the oldest written and released first, and close() releases
// every one of them.
class PhotoBrowser : public QObject
{
    Q_OBJECT
public:
    static constexpr size_t kMaxLoaded = 20;

    explicit PhotoBrowser(ArtworkPhotos &photos, QObject *parent = nullptr);
    ~PhotoBrowser() override;

    Image *current() const { return m_current; }
    // The photos loaded in full, oldest first.
    const std::deque<Image *> &loaded() const { return m_loaded; }

    // The first photo shown.
    void start(Image *image);
    // Each stores `caption` (the text of the caption view) on the current photo first.
    void showPrevious(const QString &caption);
    void showNext(const QString &caption);
    void showFirst(const QString &caption);
    void showLast(const QString &caption);
    void close(const QString &caption);

signals:
    // Another photo is shown (or none: the photo went while shown).
    void currentChanged(velumark::Image *image);

private:
    void show(Image *image, const QString &caption);
    void load(Image *image);
    void release(Image *image);

    ArtworkPhotos &m_photos;
    Image *m_current = nullptr;
    std::deque<Image *> m_loaded;
};

} // namespace velumark::editing
