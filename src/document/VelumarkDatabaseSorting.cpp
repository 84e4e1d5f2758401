#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/RecordOrders.h"
#include "document/SubmissionListController.h"
#include "document/VelumarkDatabase.h"
#include "store/AppPreferences.h"
#include "store/TextCompare.h"

namespace velumark {

namespace {

using Kind = DocumentNotifier::Kind;

} // namespace

// ---------------------------------------------------------------------------------------------
// Sorting and lookups

VelumarkDatabase::ArtworkOrder VelumarkDatabase::currentArtworkOrder() const
{
    return {getPreferences().sortArtworksByArtist(), m_artworkList->isSortAscending()};
}

CatalogueOrder VelumarkDatabase::listOrder() const
{
    const ArtworkOrder artworks = currentArtworkOrder();
    return {artworks.byArtist, artworks.ascending, m_clientList->isSortAscending(),
            m_submissionList->isSortAscending()};
}

// The artwork list has one column, so the artworks are always sorted by it.
void VelumarkDatabase::sortArtwork()
{
    sortArtworksByTitleAndArtist();
}

void VelumarkDatabase::sortArtworksByTitleAndArtist()
{
    if (m_contents.artworks.size() < 2)
        return;
    const ArtworkOrder order = currentArtworkOrder();
    Artwork::sortAscending(order.ascending);
    sortArtworks(m_contents.artworks, order.byArtist, order.ascending);
    m_artworkOrder = order;
    emit m_notifier->recordsReordered(Kind::Artwork);
}

void VelumarkDatabase::sortClients()
{
    if (m_contents.clients.size() < 2)
        return;
    const bool ascending = m_clientList->isSortAscending();
    Client::sortAscending(ascending);
    velumark::sortClients(m_contents.clients, ascending);
    m_clientOrderAscending = ascending;
    emit m_notifier->recordsReordered(Kind::Client);
}

void VelumarkDatabase::sortSubmissionsByDateAndTitle()
{
    if (m_contents.submissions.size() < 2)
        return;
    const bool ascending = m_submissionList->isSortAscending();
    Submission::sortAscending(ascending);
    const quint32 collation = collationSerial(false);
    // The keys of the last sort serve again while no record changed, the collation and the time
    // zone (the instants of local dates) are the same and the list holds the same submissions;
    // otherwise each submission gives its key again.
    SubmissionKeys &kept = m_submissionKeys;
    const quint32 zone = Submission::textContext().serial;
    bool reuse = kept.changes == Record::changeCount() && kept.collation == collation && kept.zone == zone &&
                 kept.keys.size() == m_contents.submissions.size();
    for (size_t i = 0; reuse && i < m_contents.submissions.size(); ++i)
        reuse = kept.keys[i].second == m_contents.submissions[i].get();
    std::vector<Submission::OrderKey> keys;
    keys.reserve(m_contents.submissions.size());
    for (size_t i = 0; i < m_contents.submissions.size(); ++i)
        keys.push_back(reuse ? kept.keys[i].first : m_contents.submissions[i]->orderKey(collation));
    keys = sortSubmissions(m_contents.submissions, std::move(keys), ascending);
    kept.keys.clear();
    kept.keys.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        kept.keys.emplace_back(keys[i], m_contents.submissions[i].get());
    kept.changes = Record::changeCount();
    kept.collation = collation;
    kept.zone = zone;
    m_submissionOrderAscending = ascending;
    emit m_notifier->recordsReordered(Kind::Submission);
}

Medium *VelumarkDatabase::mediumWithName(const QString &name) const
{
    for (auto &medium : m_contents.mediums) {
        if (medium->name() == name)
            return medium.get();
    }
    return nullptr;
}

Artist *VelumarkDatabase::artistWithName(const QString &name) const
{
    for (auto &artist : m_contents.artists) {
        if (artist->name() == name)
            return artist.get();
    }
    return nullptr;
}

} // namespace velumark
