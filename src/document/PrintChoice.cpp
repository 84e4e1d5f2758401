#include "document/PrintChoice.h"

namespace velumark {

std::optional<int> PrintChoice::printScreen(ShownList list, bool detailScreenShown)
{
    const int detail = detailScreenShown ? 3 : 0;
    switch (list) {
    case ShownList::Artworks:
        return 0 + detail;
    case ShownList::Clients:
        return 1 + detail;
    case ShownList::Submissions:
        return 2 + detail;
    case ShownList::None:
        break;
    }
    return std::nullopt;
}

} // namespace velumark
