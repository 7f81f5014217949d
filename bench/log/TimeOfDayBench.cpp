// The Time text of a logged row on the real clock and the system's zone, per row and for a
// million rows through INDataToTable, so that what the clock costs the log is seen (the
// other log benchmarks use a stand-in clock). Run with and without TZ set: the C library
// checks the zone file on each local-time call when TZ is not set.
#include <benchmark/benchmark.h>

#include "log/MeasurementLog.h"
#include "log/TimeOfDay.h"

namespace varnex {
namespace {

// A chart that only counts its points.
class CountingChart : public ChartFeed {
public:
    void AddPoint(double) override { ++points; }
    void ClearPoints() override { points = 0; }
    int CurrentPage() const override { return 1 + points / 100; }
    int points = 0;
};

void BM_LocalTimeOfDayClock(benchmark::State& state)
{
    LocalTimeOfDayClock clock;
    for (auto _ : state)
        benchmark::DoNotOptimize(clock());
}
BENCHMARK(BM_LocalTimeOfDayClock);

void BM_LogMillionRowsOnTheRealClock(benchmark::State& state)
{
    constexpr int Rows = 1000000;
    Reading reading;
    reading.FunctionText = "DCV";
    reading.ValueText = "1.23456";
    reading.UnitText = "V";
    for (auto _ : state) {
        state.PauseTiming();
        LogStore table;
        CountingChart chart;
        MeasurementLog log(table, chart); // the real clock
        log.RecordLimits().SelectByName("limitess");
        log.Sampling().RepeatSet = true;
        state.ResumeTiming();
        for (int i = 0; i < Rows; ++i)
            log.INDataToTable(reading);
        state.PauseTiming();
        if (table.size() != static_cast<std::size_t>(Rows))
            state.SkipWithError("not every reading was logged");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_LogMillionRowsOnTheRealClock)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace varnex
