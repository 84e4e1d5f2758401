#pragma once

#include <optional>

namespace velumark {

// What an import or export carries, by the codes of the windows' choices (0 to 3).
enum class TransferScope
{
    Complete = 0,           // artworks, clients, submissions, mediums, artists, images
    ArtworksAndClients = 1, // with the artworks' images, without submissions
    Artworks = 2,           // with their images
    Clients = 3
};

// The scope of a window's choice; none for any other code.
inline std::optional<TransferScope> transferScopeFromCode(int code)
{
    if (code < static_cast<int>(TransferScope::Complete) || code > static_cast<int>(TransferScope::Clients))
        return std::nullopt;
    return static_cast<TransferScope>(code);
}

inline bool carriesArtworks(TransferScope scope)
{
    return scope != TransferScope::Clients;
}

inline bool carriesClients(TransferScope scope)
{
    return scope != TransferScope::Artworks;
}

// Submissions, mediums and artists travel only with the whole catalogue.
inline bool carriesSubmissions(TransferScope scope)
{
    return scope == TransferScope::Complete;
}

} // namespace velumark
