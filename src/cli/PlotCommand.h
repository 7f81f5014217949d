#pragma once
// varnex-cli plot IN|--journal RUN|last [--data-dir DIR] -o OUT.png|.svg|.pdf [--from T]
//                 [--to T] [--date YYYY-MM-DD] [--zone ZONE] [--size WxH] [--scale S]
// Draws the trend of a log file (.xls/.txt/.xml) or of a journal run (its readings at their
// UTC moments) as the trend window does, headless. A log file's
// rows' times of day are placed from --date (default today), a time earlier than the one
// before starting the next day; times show in ZONE (an IANA name, default the system's).
// T is an ISO 8601 date and time ("2026-12-09T23:00", local unless it names its offset) or
// a time of day on the first day ("23:00"). Without --from/--to every reading is shown.
// Exit 0 when written, 1 when the input cannot be read or the picture not written, 2 for
// bad arguments.
#include "cli/Command.h"

namespace varnex::cli {

extern const char* const kPlotUsage;
int RunPlot(const std::vector<std::string>& args, const CommandIo& io);

} // namespace varnex::cli
