#include "cli/CaptureInput.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

bool IsLiveCapture(std::FILE* input)
{
    struct stat info {};
    if (::fstat(::fileno(input), &info) != 0)
        return false;
    return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode);
}

namespace {

void Feed(const unsigned char* block, std::size_t count, bool usb, FrameAssembler& assembler)
{
    if (usb) {
        for (std::size_t i = 0; i < count; ++i)
            assembler.AddUsbByte(block[i]);
    } else {
        assembler.VarnexData(block, count);
    }
}

} // namespace

bool FeedCapture(std::FILE* input, bool usb, FrameAssembler& assembler)
{
    unsigned char block[65536];
    if (IsLiveCapture(input)) {
        // fread would wait for a whole block: take what has arrived.
        const int fd = ::fileno(input);
        for (;;) {
            const ssize_t count = ::read(fd, block, sizeof block);
            if (count > 0)
                Feed(block, std::size_t(count), usb, assembler);
            else if (count == 0)
                return true;
            else if (errno != EINTR)
                return errno == EIO; // a tty whose other side closed: the capture ended
        }
    }
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, input)) > 0)
        Feed(block, count, usb, assembler);
    return std::ferror(input) == 0;
}

void CloseCapture(std::FILE* input, const CommandIo& io)
{
    if (input != nullptr && input != io.in)
        std::fclose(input);
}

} // namespace varnex::cli
