// varnex-sim: the simulated Varnex meter on its own.
//   varnex-sim pty [--seed N] [--link PATH]   print the pty's device path, stream until killed
//   varnex-sim capture N [--seed N] [--keys "BB HH"]   write N frames' raw bytes to stdout
#include "protocol/FrameEncoder.h"
#include "sim/FramePacer.h"
#include "sim/KeyCommandParser.h"
#include "sim/MeterModel.h"
#include "sim/PtyMeter.h"
#include "sim/SharedMeter.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace varnex;
using namespace varnex::sim;

int Usage()
{
    std::fprintf(stderr,
                 "usage: varnex-sim pty [--seed N] [--link PATH]\n"
                 "       varnex-sim capture N [--seed N] [--keys \"BB HH\"]\n"
                 "  pty      prints the serial device of the simulated meter and streams frames\n"
                 "           until killed; point the program at it with --com1 PATH\n"
                 "           --link PATH also makes PATH a symbolic link to that device\n"
                 "  capture  writes N frames (21 raw bytes each) to stdout, keys pressed first\n");
    return 2;
}

bool ParseNumber(const char* text, unsigned long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

struct Arguments {
    std::uint32_t seed = 1;
    std::string keys;
    std::string link;
};

bool ParseOptions(int argc, char** argv, int first, Arguments& args)
{
    for (int i = first; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        unsigned long number = 0;
        if (option == "--seed" && ParseNumber(value, number))
            args.seed = static_cast<std::uint32_t>(number);
        else if (option == "--keys")
            args.keys = value;
        else if (option == "--link" && *value != '\0')
            args.link = value;
        else
            return false;
    }
    return true;
}

// A stable name for the pty's device, which changes from run to run. Only an old link is
// replaced, never a file.
bool MakeLink(const std::string& device, const std::string& link)
{
    struct stat existing {};
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            std::fprintf(stderr, "varnex-sim: %s exists and is not a link\n", link.c_str());
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(device.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "varnex-sim: cannot make %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

int RunPty(const Arguments& args)
{
    // Block the stop signals before the worker starts so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto meter = std::make_shared<SharedMeter>(args.seed);
    PtyMeterOptions options;
    options.onKey = [](MeterKey key) {
        std::fprintf(stderr, "key %c%c (%s)\n", LetterOf(key), LetterOf(key), NameOf(key));
    };
    PtyMeter pty(meter, options);
    if (!args.link.empty() && !MakeLink(pty.slavePath(), args.link))
        return 1;
    std::printf("%s\n", pty.slavePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    pty.Stop();
    if (!args.link.empty())
        ::unlink(args.link.c_str());
    std::fprintf(stderr, "%zu frames sent, %zu dropped while no program listened\n", pty.FramesSent(),
                 pty.FramesDropped());
    return 0;
}

int RunCapture(unsigned long frames, const Arguments& args)
{
    MeterModel model(args.seed);
    KeyCommandParser parser;
    for (const char c : args.keys) {
        if (const auto key = parser.Feed(static_cast<std::uint8_t>(c)))
            model.Press(*key);
    }
    FramePacer pacer(args.seed);
    SimTime now{0};
    for (unsigned long i = 0; i < frames; ++i) {
        now += pacer.NextGap();
        const WireFrame frame = EncodeFrame(model.Sample(now));
        if (std::fwrite(frame.data(), 1, frame.size(), stdout) != frame.size())
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    Arguments args;
    try {
        if (command == "pty") {
            if (!ParseOptions(argc, argv, 2, args))
                return Usage();
            return RunPty(args);
        }
        unsigned long frames = 0;
        if (command == "capture" && argc >= 3 && ParseNumber(argv[2], frames)) {
            if (!ParseOptions(argc, argv, 3, args))
                return Usage();
            return RunCapture(frames, args);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "varnex-sim: %s\n", error.what());
        return 1;
    }
    return Usage();
}
