#pragma once
// varnex-cli log [--usb] [--separator C] [--no-repeat] [--limit N] [FILE] -o OUT
// Logs a meter capture (FILE or standard input) without a window: every decoded frame goes
// through the logging rules (record limit N, default 10000; --no-repeat leaves unchanged
// readings out; no sampling interval) and the table is saved to OUT by the save rules (the
// extension picks the text or XML form; other extensions get ".xls" appended). The save
// message goes to standard error; exit 0 when saved, 1 when the save failed, 2 for bad
// arguments or an input that cannot be opened.
#include "cli/Command.h"

namespace varnex::cli {

int RunLog(const std::vector<std::string>& args, const CommandIo& io);

extern const char* const kLogUsage;

// Exit code of a save or load that failed.
constexpr int kExitFileFailed = 1;

} // namespace varnex::cli
