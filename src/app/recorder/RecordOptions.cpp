#include "app/recorder/RecordOptions.h"

#include "log/RecordLimitMenu.h"
#include "log/SamplingSchedule.h"

namespace varnex {

namespace {

constexpr std::int32_t kLimitless = RecordLimitItems.back().Limit;

bool ParseLimit(const std::string& text, std::int32_t& limit)
{
    if (text == "limitless" || text == "0") {
        limit = kLimitless;
        return true;
    }
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long value = std::stol(text);
    if (value > kLimitless)
        return false;
    limit = static_cast<std::int32_t>(value);
    return true;
}

bool IsWholeSeconds(const std::string& text)
{
    return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

bool ParseRecordOptions(const std::vector<std::string>& args, RecordOptions& options, std::FILE* err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--usb") {
            options.usb = true;
            continue;
        }
        if (arg == "--no-repeat") {
            options.repeat = false;
            continue;
        }
        const bool takesValue = arg == "--port" || arg == "--limit" || arg == "--interval" ||
                                arg == "--separator" || arg == "--mqtt" || arg == "--data-dir" || arg == "-o";
        if (!takesValue) {
            std::fprintf(err, "varnex-cli record: unknown argument %s\n", arg.c_str());
            return false;
        }
        if (i + 1 >= args.size()) {
            std::fprintf(err, "varnex-cli record: %s needs a value\n", arg.c_str());
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--port") {
            options.port = value;
        } else if (arg == "--limit") {
            if (!ParseLimit(value, options.limit)) {
                std::fprintf(err, "varnex-cli record: --limit takes a whole number up to %d, 0 or limitless\n",
                             kLimitless);
                return false;
            }
        } else if (arg == "--interval") {
            if (!IsWholeSeconds(value)) {
                std::fprintf(err, "varnex-cli record: --interval takes whole seconds\n");
                return false;
            }
            options.interval = value;
        } else if (arg == "--separator") {
            if (value.empty()) {
                std::fprintf(err, "varnex-cli record: --separator needs a character\n");
                return false;
            }
            options.separator = value;
        } else if (arg == "--mqtt") {
            options.mqttUrl = value;
        } else if (arg == "--data-dir") {
            options.dataDir = value;
        } else {
            options.out = value;
        }
    }
    if (options.usb == !options.port.empty()) {
        std::fprintf(err, "varnex-cli record: give either --port PATH or --usb\n");
        return false;
    }
    return true;
}

} // namespace varnex
