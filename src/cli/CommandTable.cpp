#include "cli/CommandTable.h"

#include "cli/ConvertCommand.h"
#include "cli/DecodeCommand.h"
#include "cli/JournalCommand.h"
#include "cli/LogCommand.h"
#include "cli/PlotCommand.h"
#include "cli/RecordCommand.h"
#include "cli/SampleCommand.h"

#include <iterator>

namespace varnex::cli {

namespace {

const Command kCommands[] = {
    {"decode", kDecodeUsage, RunDecode},
    {"sample", kSampleUsage, RunSample},
    {"log", kLogUsage, RunLog},
    {"convert", kConvertUsage, RunConvert},
    {"record", kRecordUsage, RunRecord},
    {"journal", kJournalUsage, RunJournal},
    {"plot", kPlotUsage, RunPlot},
};

void PrintUsage(std::FILE* to)
{
    std::fprintf(to, "usage: varnex-cli COMMAND [ARGS]\n");
    for (const Command& command : kCommands)
        std::fprintf(to, "  %s\n", command.usage);
}

} // namespace

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

const Command* CommandsBegin() { return std::begin(kCommands); }
const Command* CommandsEnd() { return std::end(kCommands); }

int RunCommandLine(int argc, const char* const* argv, const CommandIo& io)
{
    if (argc < 2) {
        PrintUsage(io.err);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(io.out);
        return kExitOk;
    }
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        std::fprintf(io.err, "varnex-cli: unknown command %s\n", name.c_str());
        PrintUsage(io.err);
        return kExitUsage;
    }
    return command->run(std::vector<std::string>(argv + 2, argv + argc), io);
}

} // namespace varnex::cli
