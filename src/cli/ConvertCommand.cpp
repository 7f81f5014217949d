#include "cli/ConvertCommand.h"

#include "cli/LogCommand.h"
#include "log/LogStore.h"
#include "log/files/LogFileService.h"

#include <QString>

namespace varnex::cli {

const char* const kConvertUsage = "convert IN OUT                          convert a log file (.xls/.txt/.xml)";

int RunConvert(const std::vector<std::string>& args, const CommandIo& io)
{
    if (args.size() != 2) {
        std::fprintf(io.err, "usage: varnex-cli %s\n", kConvertUsage);
        return kExitUsage;
    }
    LogStore table;
    const LoadResult loaded = LoadTableFromFile(QString::fromLocal8Bit(args[0].c_str()), table);
    if (!loaded.ok) {
        std::fprintf(io.err, "%s\n", loaded.message.toLocal8Bit().constData());
        return kExitFileFailed;
    }
    const SaveResult saved = SaveTableToFile(table, QString::fromLocal8Bit(args[1].c_str()));
    std::fprintf(io.err, "%s\n", saved.message.toLocal8Bit().constData());
    return saved.ok ? kExitOk : kExitFileFailed;
}

} // namespace varnex::cli
