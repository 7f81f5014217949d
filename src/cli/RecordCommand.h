#pragma once
#include "cli/Command.h"

namespace varnex::cli {

extern const char* const kRecordUsage;
// Logs from a real port until SIGINT or SIGTERM, then saves -o OUT.
int RunRecord(const std::vector<std::string>& args, const CommandIo& io);

} // namespace varnex::cli
