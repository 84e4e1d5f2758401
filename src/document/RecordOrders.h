#pragma once

#include "document/VelumarkDatabase.h"

#include <algorithm>

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

template <typename T, typename Less> void sortOwned(OwnedRecords<T> &list, Less less)
{
    if (list.size() < 2)
        return;
    std::stable_sort(list.begin(), list.end(), [&](const std::unique_ptr<T> &a, const std::unique_ptr<T> &b) {
        return less(a.get(), b.get());
    });
}

} // namespace velumark
