#include "cli/CaptureInput.h"

#include <cerrno>
#include <cstring>

namespace varnex::cli {

std::FILE* OpenCapture(const std::string& file, const CommandIo& io, const char* command)
{
    if (file.empty())
        return io.in;
    std::FILE* input = std::fopen(file.c_str(), "rb");
    if (input == nullptr)
        std::fprintf(io.err, "varnex-cli %s: cannot open %s: %s\n", command, file.c_str(), std::strerror(errno));
    return input;
}

bool FeedCapture(std::FILE* input, bool usb, FrameAssembler& assembler)
{
    unsigned char block[65536];
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, input)) > 0) {
        if (usb) {
            for (std::size_t i = 0; i < count; ++i)
                assembler.AddUsbByte(block[i]);
        } else {
            assembler.VarnexData(block, count);
        }
    }
    return std::ferror(input) == 0;
}

void CloseCapture(std::FILE* input, const CommandIo& io)
{
    if (input != nullptr && input != io.in)
        std::fclose(input);
}

} // namespace varnex::cli
