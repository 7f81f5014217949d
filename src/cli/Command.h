#pragma once
// One subcommand of varnex-cli: its name, a one-line usage text and the function that runs it.
#include <cstdio>
#include <string>
#include <vector>

namespace varnex::cli {

// Where a command reads and writes; main() passes the process's streams, tests their own.
struct CommandIo {
    std::FILE* in = stdin;
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// Exit codes shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2; // bad arguments or an input that cannot be opened

using CommandFunction = int (*)(const std::vector<std::string>& args, const CommandIo& io);

struct Command {
    const char* name;
    const char* usage;
    CommandFunction run;
};

} // namespace varnex::cli
