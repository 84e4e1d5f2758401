#include "editing/PrintOptions.h"

namespace velumark::editing {

bool isListScreen(PrintScreen screen)
{
    return screen == PrintScreen::Artworks || screen == PrintScreen::Clients ||
           screen == PrintScreen::Submissions || screen == PrintScreen::ClientOutstanding;
}

bool isSheetScreen(PrintScreen screen)
{
    return screen == PrintScreen::ArtworkSheet || screen == PrintScreen::ClientSheet ||
           screen == PrintScreen::SubmissionSheet;
}

std::optional<PrintScreen> printScreenFromCode(int code)
{
    if (code < 0 || code > static_cast<int>(PrintScreen::SubmissionSheet))
        return std::nullopt;
    return static_cast<PrintScreen>(code);
}

} // namespace velumark::editing
