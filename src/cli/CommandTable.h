#pragma once
// The subcommands of varnex-cli. A new command: its own XxxCommand.h/.cpp and one line in
// CommandTable.cpp.
#include "cli/Command.h"

#include <cstddef>

namespace varnex::cli {

const Command* FindCommand(const std::string& name);
const Command* CommandsBegin();
const Command* CommandsEnd();

// Runs argv[1] with the remaining arguments; prints usage for no or an unknown command.
int RunCommandLine(int argc, const char* const* argv, const CommandIo& io);

} // namespace varnex::cli
