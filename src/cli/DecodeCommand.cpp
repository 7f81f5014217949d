#include "cli/DecodeCommand.h"

#include "cli/CaptureInput.h"

#include "cli/NumberText.h"
#include "protocol/FrameAssembler.h"
#include "protocol/ReadingDecoder.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace varnex::cli {

const char* const kDecodeUsage = "decode [--usb] [--separator C] [FILE]   decode raw meter bytes";

namespace {

struct DecodeOptions {
    bool usb = false;
    std::string separator = ".";
    std::string file; // empty: standard input
};

bool ParseOptions(const std::vector<std::string>& args, DecodeOptions& options, std::FILE* err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--usb") {
            options.usb = true;
        } else if (arg == "--separator") {
            if (i + 1 >= args.size()) {
                std::fprintf(err, "varnex-cli decode: --separator needs a value\n");
                return false;
            }
            options.separator = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::fprintf(err, "varnex-cli decode: unknown option %s\n", arg.c_str());
            return false;
        } else if (options.file.empty()) {
            options.file = arg == "-" ? std::string() : arg;
        } else {
            std::fprintf(err, "varnex-cli decode: only one FILE\n");
            return false;
        }
    }
    return true;
}

void PrintFrame(std::FILE* out, const std::string& frameText, const DecodeResult& result)
{
    if (!result.decoded) {
        std::fprintf(out, "%s\trejected\n", frameText.c_str());
        return;
    }
    const Reading& r = result.reading;
    std::fprintf(out, "%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", frameText.c_str(), r.FunctionText.c_str(),
                 r.ValueText.c_str(), r.UnitText.c_str(), r.Value2Text.c_str(), r.Unit2Text.c_str(),
                 WholeNumberText(r.Count).c_str(), ShortestDoubleText(r.ChartValue).c_str());
}

} // namespace

int RunDecode(const std::vector<std::string>& args, const CommandIo& io)
{
    DecodeOptions options;
    if (!ParseOptions(args, options, io.err)) {
        std::fprintf(io.err, "usage: varnex-cli %s\n", kDecodeUsage);
        return kExitUsage;
    }
    std::FILE* input = OpenCapture(options.file, io, "decode");
    if (input == nullptr)
        return kExitUsage;

    ReadingDecoder decoder(options.separator);
    // A live capture gets each line the moment its frame is complete (for | tee, | grep).
    const bool live = IsLiveCapture(input);
    FrameAssembler assembler([&](const std::string& frameText) {
        PrintFrame(io.out, frameText, decoder.Decode(frameText));
        if (live)
            std::fflush(io.out);
    });

    const bool readOk = FeedCapture(input, options.usb, assembler);
    CloseCapture(input, io);
    std::fflush(io.out);
    if (!readOk) {
        std::fprintf(io.err, "varnex-cli decode: read error on %s\n",
                     options.file.empty() ? "standard input" : options.file.c_str());
        return kExitUsage;
    }
    return kExitOk;
}

} // namespace varnex::cli
