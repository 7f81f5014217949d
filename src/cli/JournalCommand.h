#pragma once
// varnex-cli journal list|export|prune: the runs in the journal of a data folder.
//   journal list [--data-dir DIR]                       one line per run
//   journal export RUN|last [--data-dir DIR] -o OUT     a run by the save rules, or .csv
//   journal prune --older-than DAYS [--data-dir DIR]    deletes saved and discarded runs
// The data folder defaults to the one the window uses. Exit 0 on success, 1 when the
// journal or the file cannot be read or written, 2 for bad arguments.
#include "cli/Command.h"

namespace varnex::cli {

int RunJournal(const std::vector<std::string>& args, const CommandIo& io);

extern const char* const kJournalUsage;

} // namespace varnex::cli
