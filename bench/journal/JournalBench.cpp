// The journal's three budgets: what a row costs the logging (UI) thread, how many rows a
// second the writer commits when it is never starved, and ten million rows journaled from
// INDataToTable with the memory above the table's own.
#include <benchmark/benchmark.h>

#include "app/journal/Journal.h"
#include "log/MeasurementLog.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace varnex {
namespace {

double CurrentRssMB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

class NoChart : public ChartFeed {
public:
    void AddPoint(double) override {}
    void ClearPoints() override {}
    int CurrentPage() const override { return 1; }
};

void WaitWritten(Journal& journal, std::int64_t rows)
{
    while (journal.committedRows() < rows && journal.state() != JournalState::Failed)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Keeps the queue below its bound, as a meter's pace (a few rows a second) always does.
void WaitForRoom(Journal& journal)
{
    while (journal.pendingItems() >= JournalQueue::kCapacity / 2)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

LoggedRow SampleRow(const LogRowInput& input, std::int64_t utc)
{
    LoggedRow row;
    row.row = input;
    row.utcMs = utc;
    row.si = ToSiQuantity(input.Value, input.Unit, ".");
    return row;
}

// rowLogged as the log calls it for every row; bursts of 4096, the writer drained between
// bursts outside the timing, so every timed call really queues its row.
void BM_UiThreadCostPerRow(benchmark::State& state)
{
    QTemporaryDir dir;
    Journal journal(dir.path());
    while (journal.state() == JournalState::Opening)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const LogRowInput input{1, "14:05:09", "ACV DCV", "-1.23456", "K*", "50.00", "KHz"};
    LoggedRow row = SampleRow(input, 1'765'202'709'042);
    std::int64_t pushed = 0;
    for (auto _ : state) {
        for (int i = 0; i < 4096; ++i) {
            row.row.No = std::int32_t(++pushed);
            journal.rowLogged(row);
        }
        state.PauseTiming();
        WaitWritten(journal, pushed);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(pushed);
    state.counters["time_per_row"] = benchmark::Counter(double(pushed), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["missed"] = double(journal.missedRows());
}
BENCHMARK(BM_UiThreadCostPerRow)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The whole of what logging a reading costs with the journal listening, against without:
// INDataToTable, the SI value and the queue.
void BM_InDataToTable(benchmark::State& state)
{
    QTemporaryDir dir;
    std::unique_ptr<Journal> journal;
    if (state.range(0) != 0)
        journal = std::make_unique<Journal>(dir.path());
    LogStore table;
    NoChart chart;
    MeasurementLog log(table, chart, [] { return std::string("14:05:09"); });
    log.RecordLimits().Select(5);
    if (journal)
        log.addListener(journal.get());
    Reading reading;
    reading.FunctionText = "DCV";
    reading.UnitText = "V";
    std::int64_t n = 0;
    for (auto _ : state) {
        for (int i = 0; i < 4096; ++i) {
            reading.ValueText = (++n & 1) ? "1.23456" : "1.23457";
            log.INDataToTable(reading);
        }
        if (journal) {
            state.PauseTiming();
            WaitWritten(*journal, n);
            state.ResumeTiming();
        }
        if (table.size() > 4'000'000) {
            state.PauseTiming();
            log.CloseData();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(n);
    state.counters["time_per_row"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_InDataToTable)->Arg(0)->Arg(1)->ArgName("journal")->Unit(benchmark::kMicrosecond)->UseRealTime();

// Rows a second into the file with the queue never empty: 2,000,000 rows, timed from the
// first row queued to the last one committed.
void BM_SustainedRowsPerSecond(benchmark::State& state)
{
    const std::int64_t rows = 2'000'000;
    const LogRowInput input{1, "14:05:09", "DCV", "-1.23456", "V", "", ""};
    for (auto _ : state) {
        QTemporaryDir dir;
        Journal journal(dir.path());
        LoggedRow row = SampleRow(input, 1'765'202'709'042);
        for (std::int64_t i = 1; i <= rows; ++i) {
            if ((i & 1023) == 0)
                WaitForRoom(journal);
            row.row.No = std::int32_t(i);
            row.utcMs += 1;
            journal.rowLogged(row);
        }
        WaitWritten(journal, rows);
        if (journal.committedRows() != rows || journal.missedRows() != 0)
            state.SkipWithError("rows were lost");
    }
    state.SetItemsProcessed(rows * state.iterations());
}
BENCHMARK(BM_SustainedRowsPerSecond)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Ten million readings ("limitless") through INDataToTable into the table and the journal:
// the resident memory it took, the table's own bytes, and what is left for the journal.
void BM_TenMillionRowsMemory(benchmark::State& state)
{
    const std::int32_t rows = 10'000'000;
    for (auto _ : state) {
        QTemporaryDir dir;
        const double before = CurrentRssMB();
        LogStore table;
        NoChart chart;
        MeasurementLog log(table, chart, [] { return std::string("14:05:09"); });
        log.RecordLimits().Select(5);
        double peakJournal = 0;
        {
            // Without the journal: the table's own growth, for comparison.
            std::unique_ptr<Journal> maybe;
            if (state.range(0) != 0) {
                maybe = std::make_unique<Journal>(dir.path());
                log.addListener(maybe.get());
            }
            Journal* journal = maybe.get();
            Reading reading;
            reading.FunctionText = "DCV";
            reading.UnitText = "V";
            for (std::int32_t i = 0; i < rows; ++i) {
                if ((i & 4095) == 0) {
                    if (journal)
                        WaitForRoom(*journal);
                    if ((i & 0xFFFFF) == 0)
                        peakJournal = std::max(peakJournal, CurrentRssMB() - before - double(table.memoryBytes()) / 1048576.0);
                }
                reading.ValueText = std::to_string(10000 + i % 90000);
                log.INDataToTable(reading);
            }
            if (journal)
                WaitWritten(*journal, rows);
            peakJournal = std::max(peakJournal, CurrentRssMB() - before - double(table.memoryBytes()) / 1048576.0);
            state.counters["journaled"] = journal ? double(journal->committedRows()) : 0.0;
            log.removeListener(journal);
        }
        const double after = CurrentRssMB();
        state.counters["rss_growth_MB"] = after - before;
        state.counters["table_MB"] = double(table.memoryBytes()) / 1048576.0;
        state.counters["above_table_MB"] = after - before - double(table.memoryBytes()) / 1048576.0;
        state.counters["above_table_peak_MB"] = peakJournal;
        state.counters["file_MB"] = double(QFileInfo(QDir(dir.path()).filePath("journal.sqlite")).size()) / 1048576.0;
    }
}
BENCHMARK(BM_TenMillionRowsMemory)->Arg(0)->Arg(1)->ArgName("journal")->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
} // namespace varnex
