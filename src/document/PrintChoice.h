#pragma once

#include <optional>

namespace velumark {

// What the print command prints: a list (0 artworks, 1 clients, 2 submissions) or, when a
// record's detail screen is shown, that record's sheet (3, 4, 5).
struct PrintChoice
{
    enum class ShownList
    {
        None,
        Artworks,
        Clients,
        Submissions
    };

    // No choice when no list is shown.
    static std::optional<int> printScreen(ShownList list, bool detailScreenShown);
};

} // namespace velumark
