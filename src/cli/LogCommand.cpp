#include "cli/LogCommand.h"

#include "cli/CaptureInput.h"

#include "log/ChartFeed.h"
#include "log/LogStore.h"
#include "log/MeasurementLog.h"
#include "log/RecordLimitMenu.h"
#include "log/files/LogFileService.h"
#include "protocol/FrameAssembler.h"
#include "protocol/ReadingDecoder.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <string>

namespace varnex::cli {

const char* const kLogUsage =
    "log [--usb] [--separator C] [--no-repeat] [--limit N] [FILE] -o OUT   log a capture to a file";

namespace {

// The largest limit the logging rules know ("limitless" in the Record menu).
constexpr std::int32_t kMaxLimit = RecordLimitItems.back().Limit;

struct LogOptions {
    bool usb = false;
    std::string separator = ".";
    bool repeat = true;
    std::int32_t limit = RecordLimitItems[DefaultRecordLimitItem].Limit;
    std::string file; // empty: standard input
    std::string out;
};

bool ParseLimit(const std::string& text, std::int32_t& limit)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::stol(text);
    if (value > kMaxLimit)
        return false;
    limit = static_cast<std::int32_t>(value);
    return true;
}

bool ParseOptions(const std::vector<std::string>& args, LogOptions& options, std::FILE* err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--usb") {
            options.usb = true;
        } else if (arg == "--no-repeat") {
            options.repeat = false;
        } else if (arg == "--separator" || arg == "--limit" || arg == "-o") {
            if (!hasValue) {
                std::fprintf(err, "varnex-cli log: %s needs a value\n", arg.c_str());
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--separator") {
                options.separator = value;
            } else if (arg == "-o") {
                options.out = value;
            } else if (!ParseLimit(value, options.limit)) {
                std::fprintf(err, "varnex-cli log: --limit takes a whole number from 0 to %d\n", kMaxLimit);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(err, "varnex-cli log: unknown option %s\n", arg.c_str());
            return false;
        } else if (options.file.empty()) {
            options.file = arg == "-" ? std::string() : arg;
        } else {
            std::fprintf(err, "varnex-cli log: only one FILE\n");
            return false;
        }
    }
    if (options.out.empty()) {
        std::fprintf(err, "varnex-cli log: -o OUT is required\n");
        return false;
    }
    return true;
}

// No chart without a window: points are counted and dropped.
class NoChart final : public ChartFeed {
public:
    void AddPoint(double) override {}
    void ClearPoints() override {}
    int CurrentPage() const override { return 1; }
};

} // namespace

int RunLog(const std::vector<std::string>& args, const CommandIo& io)
{
    LogOptions options;
    if (!ParseOptions(args, options, io.err)) {
        std::fprintf(io.err, "usage: varnex-cli %s\n", kLogUsage);
        return kExitUsage;
    }
    std::FILE* input = OpenCapture(options.file, io, "log");
    if (input == nullptr)
        return kExitUsage;

    LogStore table;
    NoChart chart;
    MeasurementLog log(table, chart);
    log.RecordLimits().SelectByName("limitess");
    log.Sampling().RepeatSet = options.repeat;
    log.Sampling().RecordSI = false;

    ReadingDecoder decoder(options.separator);
    FrameAssembler assembler([&](const std::string& frameText) {
        const DecodeResult& result = decoder.Decode(frameText);
        // Limits between the Record menu's values: refused here exactly as the rules refuse
        // at their own limit (nothing changes, no number is used).
        if (result.decoded && log.LoggedCount() < options.limit)
            log.INDataToTable(result.reading);
    });

    const bool readFailed = !FeedCapture(input, options.usb, assembler);
    CloseCapture(input, io);
    if (readFailed) {
        std::fprintf(io.err, "varnex-cli log: read error on %s\n", options.file.empty() ? "standard input" : options.file.c_str());
        return kExitUsage;
    }

    const SaveResult saved = SaveTableToFile(table, QString::fromLocal8Bit(options.out.c_str()));
    std::fprintf(io.err, "%s\n", saved.message.toLocal8Bit().constData());
    return saved.ok ? kExitOk : kExitFileFailed;
}

} // namespace varnex::cli
