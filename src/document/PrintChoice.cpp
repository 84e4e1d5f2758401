#include "document/PrintChoice.h"

namespace velumark {

std::optional<PrintChoice::Screen> PrintChoice::printScreen(ShownList list, bool detailScreenShown)
{
    switch (list) {
    case ShownList::Artworks:
        return detailScreenShown ? Screen::ArtworkSheet : Screen::ArtworkList;
    case ShownList::Clients:
        return detailScreenShown ? Screen::ClientSheet : Screen::ClientList;
    case ShownList::Submissions:
        return detailScreenShown ? Screen::SubmissionSheet : Screen::SubmissionList;
    case ShownList::None:
        break;
    }
    return std::nullopt;
}

} // namespace velumark
