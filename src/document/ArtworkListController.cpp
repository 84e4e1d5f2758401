#include "document/ArtworkListController.h"

#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"
#include "store/DateFormatting.h"
#include "store/Localization.h"
#include "store/VelumarkStrings.h"
#include "store/VelumarkUtility.h"

#include <unordered_set>

namespace velumark {

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

void ArtworkListController::handleSearch(const QString &text)
{
    std::vector<Artwork *> &displayed = m_database.mutableDisplayedArtworks();
    displayed.clear();
    for (const auto &artwork : m_database.artworks()) {
        if (matches(*artwork, text))
            displayed.push_back(artwork.get());
    }
}

void ArtworkListController::refreshData(const QString *text)
{
    if (text)
        handleSearch(*text);
    refreshHeadings();
}

QString ArtworkListController::sectionTitle(const Artwork &artwork)
{
    return artwork.artist().isEmpty() ? QStringLiteral("#") : artwork.artist();
}

void ArtworkListController::refreshHeadings()
{
    const std::vector<Artwork *> &displayed = m_database.displayedArtworks();
    const bool sections = VelumarkUtility::sharedManager().getPreferences().sortArtworksByArtist();
    std::unordered_set<QString> seen;
    for (Artwork *artwork : displayed) {
        artwork->setSectionHeading(sections && seen.insert(sectionTitle(*artwork)).second);
    }
}

qsizetype ArtworkListController::rowCount() const
{
    return static_cast<qsizetype>(m_database.displayedArtworks().size());
}

Artwork *ArtworkListController::artworkAt(qsizetype row) const
{
    const auto &displayed = m_database.displayedArtworks();
    return row >= 0 && row < rowCount() ? displayed[static_cast<size_t>(row)] : nullptr;
}

CellContent ArtworkListController::cell(qsizetype row) const
{
    CellContent content;
    content.imageDimension = kImageDimension;
    content.normalCellHeight = kNormalCellHeight;
    const Artwork *artwork = artworkAt(row);
    if (!artwork)
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
    content.isSectionHeading = artwork->sectionHeading();
    if (content.isSectionHeading)
        content.sectionHeading = sectionTitle(*artwork);
    return content;
}

double ArtworkListController::rowHeight(qsizetype row) const
{
    const Artwork *artwork = artworkAt(row);
    return kNormalCellHeight + (artwork && artwork->sectionHeading() ? kSectionBandHeight : 0);
}

} // namespace velumark
