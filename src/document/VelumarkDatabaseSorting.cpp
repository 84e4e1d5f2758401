#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/RecordOrders.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"
#include "store/TextCompare.h"
#include "store/VelumarkUtility.h"

namespace velumark {

namespace {

using Kind = DocumentNotifier::Kind;

// The shown list follows a new order: through its list's search when the list exists, otherwise
// it shows every record.
template <typename List, typename T>
void showInNewOrder(List *list, const QString &searchText, std::vector<T *> &shown,
                    const OwnedRecords<T> &records)
{
    if (list) {
        list->handleSearch(searchText);
        return;
    }
    shown.clear();
    for (const auto &record : records)
        shown.push_back(record.get());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Sorting and lookups

VelumarkDatabase::ArtworkOrder VelumarkDatabase::currentArtworkOrder() const
{
    return {VelumarkUtility::sharedManager().getPreferences().sortArtworksByArtist(), sortArtworksAscending};
}

void VelumarkDatabase::sortArtwork()
{
    if (sortArtworksByFirstColumn)
        sortArtworksByTitleAndArtist();
}

void VelumarkDatabase::sortArtworksByTitleAndArtist()
{
    if (m_artworks.size() < 2)
        return;
    Artwork::sortAscending(sortArtworksAscending);
    const quint32 collation = collationSerial(false);
    for (const auto &artwork : m_artworks)
        artwork->prepareOrder(collation);
    if (VelumarkUtility::sharedManager().getPreferences().sortArtworksByArtist())
        sortOwned(m_artworks, [](const Artwork *a, const Artwork *b) {
            return a->compareArtistThenTitleOrdered(*b) < 0;
        });
    else
        sortOwned(m_artworks, [](const Artwork *a, const Artwork *b) {
            return a->compareTitleThenArtistOrdered(*b) < 0;
        });
    m_artworkOrder = currentArtworkOrder();
    showInNewOrder(m_artworkList.get(), m_searchText, m_displayedArtworks, m_artworks);
    emit m_notifier->listReordered(Kind::Artwork);
}

void VelumarkDatabase::sortClients()
{
    if (m_clients.size() < 2)
        return;
    Client::sortAscending(sortClientsAscending);
    const quint32 collation = collationSerial(true);
    for (const auto &client : m_clients)
        client->prepareOrder(collation);
    sortOwned(m_clients, [](const Client *a, const Client *b) { return a->compareCompanyOrdered(*b) < 0; });
    m_clientOrderAscending = sortClientsAscending;
    showInNewOrder(m_clientList.get(), m_searchText, m_displayedClients, m_clients);
    emit m_notifier->listReordered(Kind::Client);
}

void VelumarkDatabase::sortSubmissionsByDateAndTitle()
{
    sortSubmissionsByDateAndTitle({});
}

void VelumarkDatabase::sortSubmissionsByDateAndTitle(const std::function<void()> &beforeRefresh)
{
    if (m_submissions.size() < 2) {
        if (beforeRefresh)
            beforeRefresh();
        return;
    }
    Submission::sortAscending(sortSubmissionsAscending);
    const quint32 collation = collationSerial(false);
    // The keys of the last sort serve again while no record changed, the collation and the time
    // zone (the instants of local dates) are the same and the list holds the same submissions;
    // otherwise each submission gives its key again.
    SubmissionKeys &kept = m_submissionKeys;
    const quint32 zone = Submission::textContext().serial;
    bool reuse = kept.changes == Record::changeCount() && kept.collation == collation && kept.zone == zone &&
                 kept.keys.size() == m_submissions.size();
    for (size_t i = 0; reuse && i < m_submissions.size(); ++i)
        reuse = kept.keys[i].second == m_submissions[i].get();
    std::vector<std::pair<Submission::OrderKey, size_t>> keyed;
    keyed.reserve(m_submissions.size());
    for (size_t i = 0; i < m_submissions.size(); ++i)
        keyed.emplace_back(reuse ? kept.keys[i].first : m_submissions[i]->orderKey(collation), i);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        return Submission::compareKeys(a.first, b.first) < 0;
    });
    OwnedRecords<Submission> sorted;
    sorted.reserve(m_submissions.size());
    kept.keys.clear();
    kept.keys.reserve(m_submissions.size());
    for (const auto &[key, at] : keyed) {
        kept.keys.emplace_back(key, m_submissions[at].get());
        sorted.push_back(std::move(m_submissions[at]));
    }
    m_submissions = std::move(sorted);
    kept.changes = Record::changeCount();
    kept.collation = collation;
    kept.zone = zone;
    m_submissionOrderAscending = sortSubmissionsAscending;
    if (beforeRefresh)
        beforeRefresh();
    showInNewOrder(m_submissionList.get(), m_searchText, m_displayedSubmissions, m_submissions);
    emit m_notifier->listReordered(Kind::Submission);
}

Medium *VelumarkDatabase::mediumWithName(const QString &name) const
{
    for (auto &medium : m_mediums) {
        if (medium->name() == name)
            return medium.get();
    }
    return nullptr;
}

Artist *VelumarkDatabase::artistWithName(const QString &name) const
{
    for (auto &artist : m_artists) {
        if (artist->name() == name)
            return artist.get();
    }
    return nullptr;
}

} // namespace velumark
