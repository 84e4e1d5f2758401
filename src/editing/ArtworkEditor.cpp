#include "editing/ArtworkEditor.h"

#include "document/VelumarkDatabase.h"
#include "editing/EditorDates.h"
#include "store/VelumarkStrings.h"

namespace velumark::editing {

namespace {

const DecimalFormatter::Style kMoney = DecimalFormatter::Style::money();
const DecimalFormatter::Style kEffort = DecimalFormatter::Style::effort();

template <typename Named> QStringList namesOf(const OwnedRecords<Named> &records)
{
    QStringList names;
    names.reserve(qsizetype(records.size()));
    for (const auto &record : records)
        names.append(record->name());
    return names;
}

} // namespace

ArtworkEditor::ArtworkEditor(VelumarkDatabase &document, Artwork &artwork, QObject *parent)
    : RecordEditor(document, &artwork, DocumentNotifier::Kind::Artwork, parent)
{
    load(artwork);
}

ArtworkEditor::ArtworkEditor(VelumarkDatabase &document, QObject *parent)
    : RecordEditor(document, nullptr, DocumentNotifier::Kind::Artwork, parent)
{
    load(Artwork());
}

Artwork *ArtworkEditor::artwork() const
{
    return static_cast<Artwork *>(record());
}

void ArtworkEditor::load(const Artwork &artwork)
{
    m_values.title = artwork.title();
    m_values.artist = artwork.artist();
    m_values.forSaleOrLoan = artwork.sale_loan();
    m_values.price = DecimalFormatter::text(artwork.price(), kMoney);
    m_values.medium = artwork.medium();
    m_values.size = artwork.size();
    m_values.created = artwork.creationDate().isValid();
    m_values.createdDate = EditorDates::shownDay(artwork.creationDate());
    m_values.effort = DecimalFormatter::text(double(artwork.effort()), kEffort);
    const qint64 units = artwork.effortUnits();
    m_values.effortUnits = units >= 1 && units <= 6 ? int(units) : 0;
    m_values.materialCost = DecimalFormatter::text(artwork.materialCost(), kMoney);
    m_values.location = artwork.location();
    m_values.notes = artwork.notes();
    m_loaded = m_values;
}

QStringList ArtworkEditor::artistNames() const
{
    return namesOf(document().artists());
}

QStringList ArtworkEditor::mediumNames() const
{
    return namesOf(document().mediums());
}

Result<> ArtworkEditor::removeArtist(const QString &name)
{
    Artist *artist = document().artistWithName(name);
    return artist ? attempt([&] { document().removeArtist(artist); }) : Result<>();
}

Result<> ArtworkEditor::removeMedium(const QString &name)
{
    Medium *medium = document().mediumWithName(name);
    return medium ? attempt([&] { document().removeMedium(medium); }) : Result<>();
}

QStringList ArtworkEditor::effortUnitNames() const
{
    return DecimalFormatter::number(m_values.effort, kEffort) == 1.0
               ? VelumarkStrings::effortStringsWithInvalid()
               : VelumarkStrings::pluralEffortStringsWithInvalid();
}

QString ArtworkEditor::totalIncomeText() const
{
    return QLocale().toString(artwork() ? artwork()->totalIncome() : 0.0, 'f', kMoney.maximumFractionDigits);
}

std::vector<ArtworkEditor::PhotoSlot> ArtworkEditor::photoSlots(const std::vector<Image *> &images)
{
    std::vector<PhotoSlot> shown;
    for (Image *image : images) {
        if (shown.size() == kPhotoSlots)
            break;
        // A picture that cannot be read leaves its slot without a thumbnail.
        (void)attempt([image] {
            image->hydrate_thumbnail();
            image->hydrate_caption();
        });
        shown.push_back({image->thumbnail(), image->caption()});
    }
    return shown;
}

bool ArtworkEditor::canSave() const
{
    return !m_values.title.isEmpty() && DecimalFormatter::number(m_values.price, kMoney) &&
           DecimalFormatter::number(m_values.effort, kEffort) &&
           DecimalFormatter::number(m_values.materialCost, kMoney);
}

void ArtworkEditor::apply(Artwork &artwork) const
{
    artwork.setTitle(m_values.title);
    artwork.setArtist(m_values.artist);
    artwork.setSale_loan(m_values.forSaleOrLoan);
    artwork.setPrice(DecimalFormatter::number(m_values.price, kMoney).value_or(0));
    artwork.setMedium(m_values.medium);
    artwork.setSize(m_values.size);
    artwork.setCreationDate(m_values.created ? EditorDates::storedDate(m_values.createdDate) : QDateTime());
    artwork.setEffort(qint64(DecimalFormatter::number(m_values.effort, kEffort).value_or(0)));
    artwork.setEffortUnits(m_values.effortUnits);
    artwork.setMaterialCost(DecimalFormatter::number(m_values.materialCost, kMoney).value_or(0));
    artwork.setLocation(m_values.location);
    artwork.setNotes(m_values.notes);
    // The first two photos, for the lists and the mobile application.
    const std::vector<Image *> &images = artwork.images();
    artwork.setPhotoKey1(images.size() > 0 ? images[0]->primaryKey() : -1);
    artwork.setPhotoKey2(images.size() > 1 ? images[1]->primaryKey() : -1);
}

std::unique_ptr<Artwork> ArtworkEditor::shownArtwork() const
{
    auto shown = std::make_unique<Artwork>();
    if (const Artwork *edited = artwork()) {
        qint64 index = 0;
        for (Image *image : edited->images())
            shown->addImage(image, index++);
        for (Submission *submission : edited->submissions())
            shown->appendSubmission(submission);
    }
    apply(*shown);
    return shown;
}

Result<> ArtworkEditor::addNames()
{
    return attempt([this] {
        if (!m_values.artist.isEmpty() && !document().artistWithName(m_values.artist)) {
            auto artist = std::make_unique<Artist>();
            artist->setName(m_values.artist);
            document().addArtist(std::move(artist));
            document().updateArtist();
        }
        if (!m_values.medium.isEmpty() && !document().mediumWithName(m_values.medium)) {
            auto medium = std::make_unique<Medium>();
            medium->setName(m_values.medium);
            document().addMedium(std::move(medium));
            document().updateMedium();
        }
    });
}

Result<Artwork *> ArtworkEditor::save()
{
    if (Result<> allowed = checkSave(canSave()); !allowed)
        return Failure{allowed.message()};
    if (Result<> names = addNames(); !names)
        return Failure{names.message()};
    if (isNew()) {
        auto created = std::make_unique<Artwork>();
        apply(*created);
        Artwork *added = nullptr;
        if (Result<> stored = attempt([&] { added = document().addArtwork(std::move(created)); }); !stored)
            return Failure{stored.message()};
        adopt(added);
    } else {
        apply(*artwork());
        if (Result<> stored = store(*artwork()); !stored)
            return Failure{stored.message()};
        // Keeps the artworks offered for submissions in step with sale/loan and re-sorts.
        document().updateArtwork(artwork());
    }
    Artwork *saved = artwork();
    finish();
    return saved;
}

} // namespace velumark::editing
