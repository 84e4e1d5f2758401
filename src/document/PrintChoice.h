#pragma once

#include <optional>

namespace velumark {

// What the print command prints: a list or, when a record's detail screen is shown, that
// record's sheet.
struct PrintChoice
{
    enum class ShownList
    {
        None,
        Artworks,
        Clients,
        Submissions
    };

    // In the order of the print codes 0 to 5.
    enum class Screen
    {
        ArtworkList,
        ClientList,
        SubmissionList,
        ArtworkSheet,
        ClientSheet,
        SubmissionSheet
    };

    // No choice when no list is shown.
    static std::optional<Screen> printScreen(ShownList list, bool detailScreenShown);
};

} // namespace velumark
