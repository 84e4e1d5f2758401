#include "document/RecordOrders.h"

#include "store/AppPreferences.h"
#include "store/TextCompare.h"

namespace velumark {

bool byTitle(const Artwork *a, const Artwork *b)
{
    return localizedCaseInsensitiveCompare(a->title(), b->title()) < 0;
}

bool byCompany(const Client *a, const Client *b)
{
    return localizedCaseInsensitiveCompare(a->company(), b->company()) < 0;
}

bool byMediumName(const Medium *a, const Medium *b)
{
    return localizedCaseInsensitiveCompare(a->name(), b->name()) < 0;
}

bool byArtistName(const Artist *a, const Artist *b)
{
    return localizedCaseInsensitiveCompare(a->name(), b->name()) < 0;
}

bool artworkLess(const Artwork *a, const Artwork *b)
{
    return (getPreferences().sortArtworksByArtist() ? a->compareArtistThenTitle(*b)
                                                    : a->compareTitleThenArtist(*b)) < 0;
}

bool clientLess(const Client *a, const Client *b)
{
    return a->compareCompany(*b) < 0;
}

bool submissionLess(const Submission *a, const Submission *b)
{
    return a->compareSubmission(*b) < 0;
}

void sortArtworks(OwnedRecords<Artwork> &artworks, bool byArtist, bool ascending)
{
    if (artworks.size() < 2)
        return;
    const quint32 collation = collationSerial(false);
    for (const auto &artwork : artworks)
        artwork->prepareOrder(collation);
    if (byArtist)
        sortOwned(artworks, [ascending](const Artwork *a, const Artwork *b) {
            return a->compareArtistThenTitleOrdered(*b, ascending) < 0;
        });
    else
        sortOwned(artworks, [ascending](const Artwork *a, const Artwork *b) {
            return a->compareTitleThenArtistOrdered(*b, ascending) < 0;
        });
}

void sortClients(OwnedRecords<Client> &clients, bool ascending)
{
    if (clients.size() < 2)
        return;
    const quint32 collation = collationSerial(true);
    for (const auto &client : clients)
        client->prepareOrder(collation);
    sortOwned(clients, [ascending](const Client *a, const Client *b) {
        return a->compareCompanyOrdered(*b, ascending) < 0;
    });
}

std::vector<Submission::OrderKey> sortSubmissions(OwnedRecords<Submission> &submissions,
                                                  std::vector<Submission::OrderKey> keys, bool ascending)
{
    // Keys and places side by side: the sort then reads no record.
    std::vector<std::pair<Submission::OrderKey, size_t>> keyed;
    keyed.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        keyed.emplace_back(keys[i], i);
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
        return Submission::compareKeys(a.first, b.first, ascending) < 0;
    });
    OwnedRecords<Submission> sorted;
    sorted.reserve(submissions.size());
    for (size_t i = 0; i < keyed.size(); ++i) {
        sorted.push_back(std::move(submissions[keyed[i].second]));
        keys[i] = keyed[i].first;
    }
    submissions = std::move(sorted);
    return keys;
}

} // namespace velumark
