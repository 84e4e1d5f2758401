#pragma once

#include "cli/Cli.h"

namespace velumark::cli {

// The command families; each lives in a source file of its own.

// new, stats, list.
std::vector<Command> catalogueCommands();
// export, import, report.
std::vector<Command> transferCommands();
// import-contacts.
std::vector<Command> contactCommands();
// demo.
std::vector<Command> demoCommands();
// devices, pull, push.
std::vector<Command> deviceCommands();
// add-photos.
std::vector<Command> photoCommands();
// print.
std::vector<Command> printCommands();

} // namespace velumark::cli
