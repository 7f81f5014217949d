#pragma once
// varnex-cli convert IN OUT
// Loads IN into an empty table by the load rules (".xml": the XML data packet; anything else:
// the tab-separated text) and saves the table to OUT by the save rules. "Failed to Load File!"
// and exit 1 when the load fails; the save message on standard error, exit 1 when it fails.
#include "cli/Command.h"

namespace varnex::cli {

int RunConvert(const std::vector<std::string>& args, const CommandIo& io);

extern const char* const kConvertUsage;

} // namespace varnex::cli
