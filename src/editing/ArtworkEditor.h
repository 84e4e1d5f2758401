#pragma once

#include "editing/DecimalFormatter.h"
#include "editing/RecordEditor.h"

#include <QDate>
#include <QImage>
#include <QStringList>
#include <memory>
#include <vector>

namespace velumark {
class Artwork;
class Image;
} // namespace velumark

namespace velumark::editing {

// What the artwork sheet shows, as shown (numbers as typed).
struct ArtworkValues
{
    QString title;
    QString artist;
    bool forSaleOrLoan = true;
    QString price;
    QString medium;
    QString size;
    bool created = false;
    QDate createdDate; // today while `created` is off
    QString effort;
    int effortUnits = 0; // 0 none, 1 minute ... 6 year
    QString materialCost;
    QString location;
    QString notes;

    bool operator==(const ArtworkValues &) const = default;
};

// The field logic of the artwork sheet: the values of a stored or a new artwork, the artist and
// medium names offered (a typed name joins them on save), the effort unit words, and the save.
class ArtworkEditor : public RecordEditor
{
    Q_OBJECT
public:
    // A stored artwork of the document.
    ArtworkEditor(VelumarkDatabase &document, Artwork &artwork, QObject *parent = nullptr);
    // A new artwork, added to the document on save.
    explicit ArtworkEditor(VelumarkDatabase &document, QObject *parent = nullptr);

    ArtworkValues &values() { return m_values; }
    const ArtworkValues &values() const { return m_values; }
    bool hasChanges() const { return m_values != m_loaded; }
    Artwork *artwork() const;

    // The names the artist and medium boxes offer, in the document's order.
    QStringList artistNames() const;
    QStringList mediumNames() const;
    // Takes a name out of the list at once (artworks that carry it keep it); nothing happens for
    // a name that is not in the list.
    Result<> removeArtist(const QString &name);
    Result<> removeMedium(const QString &name);

    // The effort unit choices, a blank first: singular words for an effort of exactly 1.
    QStringList effortUnitNames() const;
    // The income of the artwork's answered submissions, as money.
    QString totalIncomeText() const;

    // The first five of these photos (the sheet's working list): thumbnail and caption.
    struct PhotoSlot
    {
        QImage thumbnail;
        QString caption;
    };
    static constexpr int kPhotoSlots = 5;
    static std::vector<PhotoSlot> photoSlots(const std::vector<Image *> &images);

    // A title, and numbers where numbers belong.
    bool canSave() const;
    // Adds typed artist and medium names to their lists, writes the artwork (a new one is added
    // to the document) and re-files it. On failure the stored artwork stays as it was and the
    // values stay for another try.
    Result<Artwork *> save();

    // A new artwork, never stored, with the values as the sheet shows them, the photos and the
    // submissions of the edited artwork: what a printout of the sheet shows.
    std::unique_ptr<Artwork> shownArtwork() const;

private:
    void load(const Artwork &artwork);
    void apply(Artwork &artwork) const;
    Result<> addNames();

    ArtworkValues m_values;
    ArtworkValues m_loaded;
};

} // namespace velumark::editing
