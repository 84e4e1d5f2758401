#pragma once

#include "document/CatalogueContents.h"

#include <algorithm>
#include <memory>

namespace velumark {

// The orders the document keeps its lists in, shared by its loading, editing and sorting.

// Localized case-insensitive order of one text: the lists of available artworks and open
// clients, and the mediums and artists.
bool byTitle(const Artwork *a, const Artwork *b);
bool byCompany(const Client *a, const Client *b);
bool byMediumName(const Medium *a, const Medium *b);
bool byArtistName(const Artist *a, const Artist *b);

// The orders of the three main lists (the artwork order follows the preference).
bool artworkLess(const Artwork *a, const Artwork *b);
bool clientLess(const Client *a, const Client *b);
bool submissionLess(const Submission *a, const Submission *b);

// The artwork and client lists sorted in the direction given (never the class-wide one, which
// another thread may be changing), each record's sort keys taken once.
void sortArtworks(OwnedRecords<Artwork> &artworks, bool byArtist, bool ascending);
void sortClients(OwnedRecords<Client> &clients, bool ascending);
// The submissions sorted by send date and title in the direction given, by the keys given (one per
// submission, in the list's order; orderKey() with collationSerial(false)); returns the keys in the
// new order, for a later sort to use again while nothing changed.
std::vector<Submission::OrderKey> sortSubmissions(OwnedRecords<Submission> &submissions,
                                                  std::vector<Submission::OrderKey> keys, bool ascending);

template <typename T, typename Less> void sortOwned(OwnedRecords<T> &list, Less less)
{
    if (list.size() < 2)
        return;
    std::stable_sort(list.begin(), list.end(), [&](const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) {
        return less(a.get(), b.get());
    });
}

// Takes the record out of the list; null when the list does not hold it.
template <typename T> std::unique_ptr<T> takeOwned(OwnedRecords<T> &list, const T *record)
{
    auto it = std::find_if(list.begin(), list.end(),
                           [&](const std::unique_ptr<T> &r) { return r.get() == record; });
    if (it == list.end())
        return nullptr;
    std::unique_ptr<T> owned = std::move(*it);
    list.erase(it);
    return owned;
}

} // namespace velumark
