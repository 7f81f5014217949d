// The log at its "limitless" limit: ten million readings through INDataToTable, then
// random reads of the table as the grid does when it scrolls.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"

namespace varnex {
namespace {

constexpr std::int32_t TenMillion = 10000000;

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double currentRssMB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The chart keeps one 4-byte float per point, as the real chart store does.
class FloatChart : public ChartFeed {
public:
    std::vector<float> points;
    void AddPoint(double value) override { points.push_back(static_cast<float>(value)); }
    void ClearPoints() override { std::vector<float>().swap(points); }
    int CurrentPage() const override { return points.empty() ? 1 : static_cast<int>((points.size() + 99) / 100); }
};

// Readings as a meter on DC volts gives them: a value wandering over the 5 1/2 digit
// counts, sometimes a frequency on the second display.
std::vector<Reading> meterReadings(std::size_t count)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> step(-40, 40);
    std::vector<Reading> readings(count);
    int counts = 123456;
    char text[32];
    for (std::size_t i = 0; i < count; ++i) {
        counts = std::clamp(counts + step(random), -219999, 219999);
        std::snprintf(text, sizeof text, "%.5f", counts / 100000.0);
        Reading& r = readings[i];
        r.FunctionText = i % 10 == 0 ? "ACV DCV" : "DCV";
        r.ValueText = text;
        r.UnitText = "V";
        r.ChartValue = counts / 100000.0;
        if (i % 10 == 0) {
            std::snprintf(text, sizeof text, "%.2f", 50.0 + step(random) / 100.0);
            r.Value2Text = text;
            r.Unit2Text = "KHz";
        }
    }
    return readings;
}

// A time text that moves on one second every five readings.
TimeOfDayClock fiveReadingsASecond()
{
    return [calls = 0L]() mutable {
        const long second = calls++ / 5;
        char text[16];
        std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", second / 3600 % 24, second / 60 % 60,
                      second % 60);
        return std::string(text);
    };
}

// With distinctValues every reading gets a value text never seen before, so the
// dictionary grows with the table: the worst case a real meter could produce.
void logTenMillion(benchmark::State& state, bool distinctValues)
{
    const std::vector<Reading> readings = meterReadings(1 << 16);
    Reading fresh = readings[1];
    char text[32];
    for (auto _ : state) {
        state.PauseTiming();
        const double rssBefore = currentRssMB();
        LogStore table;
        FloatChart chart;
        MeasurementLog log(table, chart, fiveReadingsASecond());
        log.RecordLimits().SelectByName("limitess");
        log.Sampling().RepeatSet = true;
        state.ResumeTiming();

        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        std::size_t i = 0;
        if (distinctValues) {
            for (bool logged = true; logged; ++i) {
                std::snprintf(text, sizeof text, "%zu.%02zu", i / 100, i % 100);
                fresh.ValueText = text;
                logged = log.INDataToTable(fresh).logged();
            }
        } else {
            while (log.INDataToTable(readings[i++ & 0xFFFF]).logged()) {
            }
        }
        const double cpu = cpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

        state.PauseTiming();
        const double rows = static_cast<double>(table.size());
        state.counters["cpu_ns_per_row"] = cpu * 1e9 / rows;
        state.counters["wall_ns_per_row"] = wall * 1e9 / rows;
        const double storeBytes = static_cast<double>(table.memoryBytes());
        const double chartBytes = static_cast<double>(chart.points.size() * sizeof(float));
        state.counters["rows"] = rows;
        state.counters["store_B_per_row"] = storeBytes / rows;
        state.counters["with_chart_B_per_row"] = (storeBytes + chartBytes) / rows;
        state.counters["peak_rss_MB"] = peakRssMB();
        state.counters["rss_B_per_row"] = (peakRssMB() - rssBefore) * 1024 * 1024 / rows;
        state.counters["distinct_texts"] = static_cast<double>(table.distinctTexts());
        table.clear();
        chart.ClearPoints();
        state.counters["rss_after_clear_MB"] = currentRssMB();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * TenMillion);
}

void BM_LogTenMillionReadings(benchmark::State& state)
{
    logTenMillion(state, false);
}
BENCHMARK(BM_LogTenMillionReadings)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs after the realistic case: peak_rss_MB and rss_B_per_row are this run's own only
// because its peak is the higher of the two.
void BM_LogTenMillionDistinctValues(benchmark::State& state)
{
    logTenMillion(state, true);
}
BENCHMARK(BM_LogTenMillionDistinctValues)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One table of ten million rows for the read benchmarks.
const LogStore& fullTable()
{
    static LogStore table;
    if (table.empty()) {
        const std::vector<Reading> readings = meterReadings(1 << 16);
        FloatChart chart;
        MeasurementLog log(table, chart, fiveReadingsASecond());
        log.RecordLimits().SelectByName("limitess");
        std::size_t i = 0;
        while (log.INDataToTable(readings[i++ & 0xFFFF]).logged()) {
        }
    }
    return table;
}

std::vector<std::size_t> randomRows(std::size_t count, std::size_t rows)
{
    std::mt19937_64 random(99);
    std::uniform_int_distribution<std::size_t> pick(0, rows - 1);
    std::vector<std::size_t> picks(count);
    for (auto& p : picks)
        p = pick(random);
    return picks;
}

void BM_RandomRowRead(benchmark::State& state)
{
    const LogStore& table = fullTable();
    const std::vector<std::size_t> picks = randomRows(1 << 20, table.size());
    std::size_t i = 0, bytes = 0;
    for (auto _ : state) {
        const LogRowView row = table.row(picks[i++ & ((1 << 20) - 1)]);
        bytes += row.Time.size() + row.Value.size() + row.Unit2.size() + static_cast<std::size_t>(row.No);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomRowRead);

// What the grid pays per cell it paints: the display text of a random cell.
void BM_RandomCellDisplayText(benchmark::State& state)
{
    LogStore& table = const_cast<LogStore&>(fullTable());
    LogTableModel model(table);
    const std::vector<std::size_t> picks = randomRows(1 << 20, table.size());
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t pick = picks[i++ & ((1 << 20) - 1)];
        const QModelIndex index = model.index(static_cast<int>(pick), static_cast<int>(pick % LogFieldCount));
        benchmark::DoNotOptimize(model.data(index));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomCellDisplayText);

void BM_StoreAppendOnly(benchmark::State& state)
{
    const std::vector<Reading> readings = meterReadings(1 << 16);
    LogStore table;
    std::size_t i = 0;
    LogRowInput row;
    row.Time = "12:00:00";
    for (auto _ : state) {
        const Reading& r = readings[i & 0xFFFF];
        row.No = static_cast<std::int32_t>(++i);
        row.Function = r.FunctionText;
        row.Value = r.ValueText;
        row.Unit = r.UnitText;
        row.Value2 = r.Value2Text;
        row.Unit2 = r.Unit2Text;
        table.append(row);
        if (table.size() == TenMillion)
            table.clear();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StoreAppendOnly);

} // namespace
} // namespace varnex
