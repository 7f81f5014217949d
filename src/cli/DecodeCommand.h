#pragma once
// varnex-cli decode [--usb] [--separator C] [FILE]
// Cuts raw meter bytes (FILE or standard input) into frames and prints one line per frame that
// reaches the decoder: FrameText, FunctionText, ValueText, UnitText, Value2Text, Unit2Text,
// Count, ChartValue, separated by tabs; a rejected frame prints FrameText and "rejected".
#include "cli/Command.h"

namespace varnex::cli {

int RunDecode(const std::vector<std::string>& args, const CommandIo& io);

extern const char* const kDecodeUsage;

} // namespace varnex::cli
