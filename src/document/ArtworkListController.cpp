#include "document/ArtworkListController.h"

#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"

namespace velumark {

ArtworkListController::ArtworkListController(VelumarkDatabase &document, QObject *parent)
    : RecordList(document, parent)
{}

QString ArtworkListController::sizeText(const Artwork &artwork)
{
    if (artwork.size().isEmpty())
        return {};
    return localized("%1: %2").arg(localized("Size"), artwork.size());
}

QString ArtworkListController::createdText(const Artwork &artwork)
{
    if (!artwork.creationDate().isValid())
        return {};
    return localized("%1: %2").arg(localized("Created"), mediumDateString(artwork.creationDate()));
}

QString ArtworkListController::latestClientText(const Artwork &artwork)
{
    if (artwork.submissions().empty())
        return {};
    const Client *client = artwork.submissions().front()->client();
    return client ? client->company() : QString();
}

bool ArtworkListController::matches(const Artwork &artwork, const QString &text)
{
    if (text.isEmpty())
        return true;
    auto has = [&](const QString &field) {
        return field.contains(text, Qt::CaseInsensitive);
    };
    return has(artwork.title()) || has(artwork.artist()) || has(artwork.medium()) ||
           has(latestClientText(artwork)) || has(sizeText(artwork)) || has(createdText(artwork));
}

bool ArtworkListController::matches(const Record &record, const QString &text) const
{
    return matches(static_cast<const Artwork &>(record), text);
}

std::vector<Record *> ArtworkListController::sourceRecords() const
{
    const auto &artworks = document().artworks();
    std::vector<Record *> source;
    source.reserve(artworks.size());
    for (const auto &artwork : artworks)
        source.push_back(artwork.get());
    return source;
}

QString ArtworkListController::sectionTitle(const Artwork &artwork)
{
    return artwork.artist().isEmpty() ? QStringLiteral("#") : artwork.artist();
}

void ArtworkListController::markSections(const std::vector<Record *> &rows, std::vector<char> &flags) const
{
    if (!getPreferences().sortArtworksByArtist())
        return;
    markFirstOfEach<QString>(
        rows, flags, [](const Record &record) { return sectionTitle(static_cast<const Artwork &>(record)); });
}

void ArtworkListController::collectTouched(Kind kind, Record *record, std::vector<Record *> &touched) const
{
    // A row shows the outcome and the client of the artwork's latest submission.
    if (kind == Kind::Submission) {
        if (Artwork *artwork = static_cast<Submission *>(record)->artwork())
            touched.push_back(artwork);
    } else if (kind == Kind::Client) {
        for (const Submission *submission : static_cast<Client *>(record)->submissions()) {
            Artwork *artwork = submission->artwork();
            if (artwork && artwork->submissions().front() == submission)
                touched.push_back(artwork);
        }
    }
}

void ArtworkListController::applySortOrder()
{
    document().sortArtwork();
}

Artwork *ArtworkListController::artworkAt(qsizetype row) const
{
    return static_cast<Artwork *>(recordAt(row));
}

CellContent ArtworkListController::cell(qsizetype row, int column) const
{
    CellContent content;
    content.imageDimension = kImageDimension;
    content.normalCellHeight = kNormalCellHeight;
    const Artwork *artwork = artworkAt(row);
    if (!artwork || column != 0)
        return content;
    content.mainText = artwork->title();
    content.subText = artwork->artist();
    content.moreSubText = artwork->medium();
    content.last1SubText = latestClientText(*artwork);
    content.mainExtraColumn = sizeText(*artwork);
    content.subExtraColumn = createdText(*artwork);
    content.image = artwork->cellImage();
    content.statusImage = artwork->statusImage();
    if (!artwork->submissions().empty()) {
        const Submission *latest = artwork->submissions().front();
        if (latest->exhibited() && latest->submissionState() != SubmissionState::Exhibiting)
            content.statusImage2 = QStringLiteral("exhibited_icon");
    }
    content.isSectionHeading = isSectionHeading(row);
    if (content.isSectionHeading)
        content.sectionHeading = sectionTitle(*artwork);
    return content;
}

} // namespace velumark
