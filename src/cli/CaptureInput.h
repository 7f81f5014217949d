#pragma once
// Reading a raw meter capture (a file or standard input) into the frame assembler, as
// both decode and log do: blocks to the serial assembler, or one byte at a time to the
// USB assembler with every read successful.
#include "cli/Command.h"
#include "protocol/FrameAssembler.h"

#include <cstdio>
#include <string>

namespace varnex::cli {

// The capture to read: the named file, or standard input for an empty name. Null after a
// one-line error on io.err when the file cannot be opened.
std::FILE* OpenCapture(const std::string& file, const CommandIo& io, const char* command);

// Feeds everything the capture holds to the assembler. False on a read error.
bool FeedCapture(std::FILE* input, bool usb, FrameAssembler& assembler);

// True when the capture arrives as it happens (a pipe, a tty, a serial device): it is
// then read as bytes come, not in whole blocks.
bool IsLiveCapture(std::FILE* input);

// Closes a capture opened by OpenCapture (standard input stays open).
void CloseCapture(std::FILE* input, const CommandIo& io);

} // namespace varnex::cli
