// Transfers with the companion app on a phone or tablet.
#include "cli/Commands.h"

namespace velumark::cli {

std::vector<Command> deviceCommands()
{
    return {};
}

} // namespace velumark::cli
