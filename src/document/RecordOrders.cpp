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

} // namespace velumark
