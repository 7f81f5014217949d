// Save and load of big logs: 10 million rows as text, 1 million as the XML packet.
// Reports seconds per run and the peak resident memory the operation adds on top of the
// table itself (the kernel's high-water mark is reset before each run).
#include "log/LogStore.h"
#include "log/files/LogFileService.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace varnex {
namespace {

// Resident and peak resident memory of this process, in bytes.
std::size_t StatusBytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stoull(line.substr(prefix.size())) * 1024;
    return 0;
}

// Makes VmHWM start again from the present resident size.
void ResetPeak()
{
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// A plausible long run: the time ticks every three readings, values wander over the
// display's counts, the function and unit rarely change.
void FillRows(LogStore& store, std::size_t rows)
{
    store.reserve(rows);
    char time[16];
    char value[16];
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t second = i / 3;
        std::snprintf(time, sizeof time, "%02zu:%02zu:%02zu", (second / 3600) % 24, (second / 60) % 60, second % 60);
        std::snprintf(value, sizeof value, "%d.%04d", static_cast<int>(i % 2), static_cast<int>((i * 7919) % 10000));
        const bool ohm = (i / 100000) % 2 == 1;
        store.append(LogRowInput{static_cast<std::int32_t>(i + 1), time, ohm ? "OHM" : "DCV", value,
                                 ohm ? "K*" : "V", (i % 5 == 0) ? "50.00" : "", (i % 5 == 0) ? "KHz" : ""});
    }
}

QString ScratchFile(const char* name)
{
    return QDir::temp().filePath(QStringLiteral("varnex_bench_") + QString::fromLatin1(name));
}

// operation returns false on failure and sets grownTableBytes to the memory of a table it
// filled (a load), which is the table's own and not counted as the operation's.
void Measure(benchmark::State& state, const std::function<bool(std::size_t& grownTableBytes)>& operation)
{
    double peakAboveMb = 0;
    for (auto _ : state) {
        ResetPeak();
        const std::size_t before = StatusBytes("VmRSS");
        std::size_t grownTable = 0;
        if (!operation(grownTable))
            state.SkipWithError("file operation failed");
        const double above = (static_cast<double>(StatusBytes("VmHWM")) - static_cast<double>(before) -
                              static_cast<double>(grownTable)) / (1 << 20);
        peakAboveMb = std::max(peakAboveMb, above);
    }
    state.counters["peak_MB_above_table"] = peakAboveMb;
}

constexpr std::size_t kTextRows = 10'000'000;
constexpr std::size_t kXmlRows = 1'000'000;

LogStore& TableOf(std::size_t rows)
{
    static LogStore text;
    static LogStore xml;
    LogStore& store = rows == kTextRows ? text : xml;
    if (store.size() != rows) {
        store.clear();
        FillRows(store, rows);
    }
    return store;
}

void BM_SaveText(benchmark::State& state)
{
    LogStore& table = TableOf(kTextRows);
    Measure(state, [&](std::size_t&) { return SaveTableToFile(table, ScratchFile("10M.txt")).ok; });
    state.counters["rows"] = static_cast<double>(table.size());
}

void BM_LoadText(benchmark::State& state)
{
    Measure(state, [&](std::size_t& grownTable) {
        LogStore loaded;
        const bool ok = LoadTableFromFile(ScratchFile("10M.txt"), loaded).ok && loaded.size() == kTextRows;
        grownTable = loaded.memoryBytes();
        state.counters["table_MB"] = static_cast<double>(grownTable) / (1 << 20);
        return ok;
    });
}

void BM_SaveXml(benchmark::State& state)
{
    LogStore& table = TableOf(kXmlRows);
    Measure(state, [&](std::size_t&) { return SaveTableToFile(table, ScratchFile("1M.xml")).ok; });
}

void BM_LoadXmlIntoEmptyTable(benchmark::State& state)
{
    Measure(state, [&](std::size_t& grownTable) {
        LogStore loaded;
        const bool ok = LoadTableFromFile(ScratchFile("1M.xml"), loaded).ok && loaded.size() == kXmlRows;
        grownTable = loaded.memoryBytes();
        return ok;
    });
}

void BM_LoadXmlReplacingRows(benchmark::State& state)
{
    // The packet is read into a side table first, so this peak holds the table twice.
    Measure(state, [&](std::size_t& grownTable) {
        LogStore loaded;
        loaded.append(LogRowInput{1, "00:00:00", "DCV", "1", "V", "", ""});
        const bool ok = LoadTableFromFile(ScratchFile("1M.xml"), loaded).ok && loaded.size() == kXmlRows;
        grownTable = loaded.memoryBytes();
        return ok;
    });
}

// Text save before text load, XML save before XML load: registration order is run order.
BENCHMARK(BM_SaveText)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_LoadText)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_SaveXml)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_LoadXmlIntoEmptyTable)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_LoadXmlReplacingRows)->Unit(benchmark::kSecond)->Iterations(3);

} // namespace
} // namespace varnex
