#include "cli/JournalCommand.h"

#include "app/journal/Journal.h"
#include "app/journal/JournalDatabase.h"
#include "app/journal/JournalExport.h"
#include "app/journal/ReadingsCsvWriter.h"
#include "cli/LogCommand.h"
#include "log/MeasurementLog.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <cstdlib>

namespace varnex::cli {

const char* const kJournalUsage =
    "journal list|export RUN|last -o OUT|prune --older-than DAYS [--data-dir DIR]  runs in the journal";

namespace {

struct JournalArgs {
    std::string verb;
    std::string run;    // export
    std::string out;    // export -o
    double days = -1;   // prune --older-than
    QString dataDir;
    std::string error;
};

JournalArgs Parse(const std::vector<std::string>& args)
{
    JournalArgs a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--data-dir" && hasValue) {
            a.dataDir = QString::fromLocal8Bit(args[++i].c_str());
        } else if (arg == "-o" && hasValue) {
            a.out = args[++i];
        } else if (arg == "--older-than" && hasValue) {
            char* end = nullptr;
            a.days = std::strtod(args[++i].c_str(), &end);
            if (end == args[i].c_str() || *end != '\0' || !(a.days >= 0))
                a.error = "--older-than needs a number of days";
        } else if (a.verb.empty() && arg.rfind("-", 0) != 0) {
            a.verb = arg;
        } else if (a.verb == "export" && a.run.empty() && arg.rfind("-", 0) != 0) {
            a.run = arg;
        } else {
            a.error = "unexpected argument " + arg;
        }
    }
    if (a.error.empty()) {
        if (a.verb == "export" && (a.run.empty() || a.out.empty()))
            a.error = "export needs RUN or last, and -o OUT";
        else if (a.verb == "prune" && a.days < 0)
            a.error = "prune needs --older-than DAYS";
        else if (a.verb != "list" && a.verb != "export" && a.verb != "prune")
            a.error = a.verb.empty() ? "list, export or prune?" : "unknown journal command " + a.verb;
    }
    return a;
}

std::string Text(const QString& text) { return text.toLocal8Bit().toStdString(); }

int List(JournalDatabase& db, const CommandIo& io)
{
    std::fprintf(io.out, "run\tstarted\tended\trows\tstate\n");
    for (const JournalRun& run : db.runs()) {
        std::string state = RunStateText(run.state);
        if (run.recoveredInto && run.state == RunState::Unsaved)
            state += " (recovered into run " + std::to_string(*run.recoveredInto) + ")";
        std::fprintf(io.out, "%lld\t%s\t%s\t%lld\t%s\n", static_cast<long long>(run.id),
                     IsoUtcText(run.startedUtcMs).c_str(),
                     run.endedUtcMs ? IsoUtcText(*run.endedUtcMs).c_str() : "-", static_cast<long long>(run.rows),
                     state.c_str());
    }
    return kExitOk;
}

int Export(JournalDatabase& db, const JournalArgs& a, const CommandIo& io)
{
    std::int64_t run = 0;
    if (a.run == "last") {
        run = db.lastRunWithRows();
    } else {
        char* end = nullptr;
        run = std::strtoll(a.run.c_str(), &end, 10);
        if (end == a.run.c_str() || *end != '\0')
            run = 0;
    }
    if (run == 0 || !db.run(run)) {
        std::fprintf(io.err, "varnex-cli journal: no run %s\n", a.run.c_str());
        return kExitFileFailed;
    }
    const JournalExportResult result = ExportRun(db, run, QString::fromLocal8Bit(a.out.c_str()));
    std::fprintf(io.err, "%s\n", Text(result.message).c_str());
    return result.ok ? kExitOk : kExitFileFailed;
}

int Prune(JournalDatabase& db, const JournalArgs& a, const QString& dir, const CommandIo& io)
{
    // While a window writes the journal its own run has no end yet: leave unended runs then.
    QLockFile lock(QDir(dir).filePath(QStringLiteral("journal.lock")));
    lock.setStaleLockTime(0);
    const bool nobodyWrites = lock.tryLock(0);
    const std::int64_t cutoff = SystemUtcMs() - static_cast<std::int64_t>(a.days * 86'400'000.0);
    const int deleted = db.prune(cutoff, !nobodyWrites);
    if (deleted < 0) {
        std::fprintf(io.err, "varnex-cli journal: %s\n", db.error().c_str());
        return kExitFileFailed;
    }
    std::fprintf(io.out, "%d runs deleted\n", deleted);
    return kExitOk;
}

} // namespace

int RunJournal(const std::vector<std::string>& args, const CommandIo& io)
{
    const JournalArgs a = Parse(args);
    if (!a.error.empty()) {
        std::fprintf(io.err, "varnex-cli journal: %s\nusage: varnex-cli %s\n", a.error.c_str(), kJournalUsage);
        return kExitUsage;
    }
    const QString dir = JournalDataDir(a.dataDir);
    const QString path = QDir(dir).filePath(QLatin1String(kJournalFileName));
    if (!QFileInfo::exists(path)) {
        std::fprintf(io.err, "varnex-cli journal: no journal in %s\n", Text(QDir::toNativeSeparators(dir)).c_str());
        return kExitFileFailed;
    }
    JournalDatabase db;
    if (!db.open(QDir::toNativeSeparators(path).toStdString(), false)) {
        std::fprintf(io.err, "varnex-cli journal: %s: %s\n", Text(path).c_str(), db.error().c_str());
        return kExitFileFailed;
    }
    if (a.verb == "list")
        return List(db, io);
    if (a.verb == "export")
        return Export(db, a, io);
    return Prune(db, a, dir, io);
}

} // namespace varnex::cli
