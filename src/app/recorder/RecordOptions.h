#pragma once
// What `varnex-cli record` was asked to do.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varnex {

struct RecordOptions {
    std::string port;          // a device path; empty with usb
    bool usb = false;
    std::int32_t limit = 10000; // rows; the "limitless" limit with --limit 0 or limitless
    std::string interval;      // the sampling interval in whole seconds; empty: every reading
    bool repeat = true;        // false with --no-repeat
    std::string separator = ".";
    std::string mqttUrl;
    std::string dataDir;
    std::string out;           // saved on SIGINT/SIGTERM when given
};

// Reads the arguments after "record". False after a one-line message on err.
bool ParseRecordOptions(const std::vector<std::string>& args, RecordOptions& options, std::FILE* err);

} // namespace varnex
