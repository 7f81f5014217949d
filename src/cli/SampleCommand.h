#pragma once
// varnex-cli sample [--usb]
// Writes a short capture of meter frames to standard output: a few functions, an overload, a
// second display, annunciators and one frame the decoder rejects. The serial capture starts
// with the CR LF of a frame already under way, as a port opened on a running meter sees it;
// with --usb every group of 21 bytes starts at data byte 1.
#include "cli/Command.h"

#include <cstdint>

namespace varnex::cli {

int RunSample(const std::vector<std::string>& args, const CommandIo& io);

// The capture's bytes.
std::vector<std::uint8_t> SampleCapture(bool usb);

extern const char* const kSampleUsage;

} // namespace varnex::cli
