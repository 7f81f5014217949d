// The main window's cost per frame, painting included: the decoder pass with its LCD
// updates (no row logged), and one logged frame (LCD, row, grid, chart) with the log
// empty and with ten million rows already in it. Runs offscreen.
#include "app/LogGrid.h"
#include "app/MeterEnvironment.h"
#include "app/TFCOMM.h"
#include "app/UserDialogs.h"
#include "chart/ChartWidget.h"
#include "chart/TChartControl.h"
#include "links/testing/ScriptedSiUsbLibrary.h"
#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"
#include "protocol/FrameEncoder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QHeaderView>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace varnex {
namespace {

class SilentDialogs : public UserDialogs {
public:
    void information(const QString&) override {}
    void error(const QString&) override {}
    bool askYesNo(const QString&) override { return false; }
    UnsavedChoice askUnsaved(const UnsavedRowCount&, UnsavedReason) override { return UnsavedChoice::Discard; }
    QString askSaveLogName() override { return {}; }
    QString askOpenLogName() override { return {}; }
    QString askSaveBitmapName() override { return {}; }
    void showPrintPreview(const std::function<void(QPrinter*)>&) override {}
    void openDocument(const QString&) override {}
};

double CurrentRssMb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// CPU time of this thread: the machine may be shared, so wall time alone says little.
double ThreadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Counts the paint events that reach each widget, so a benchmark can show that it
// painted what its name says (a repaint() of a parent does not always reach its children).
class PaintCounter : public QObject {
public:
    PaintCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~PaintCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++total;
            ++perWidget[receiver];
        }
        return false;
    }
    long of(const QObject* widget) const { return perWidget.value(widget, 0); }
    void reset()
    {
        total = 0;
        perWidget.clear();
    }
    long total = 0;
    QHash<const QObject*, long> perWidget;
};

// Repaints `root` and every visible widget inside it, each once: where the parent's own
// repaint() reached a child (the paint count moved), the child is not painted again. In
// Qt 6.4 a table view's repaint() leaves its viewport, the cells, unpainted.
class WholeRepaint {
public:
    WholeRepaint(QWidget* root, PaintCounter& paints) : paints_(paints)
    {
        widgets_ = root->findChildren<QWidget*>(); // parents before their children
        widgets_.prepend(root);
        seen_.resize(widgets_.size());
    }
    void operator()()
    {
        for (qsizetype i = 0; i < widgets_.size(); ++i)
            seen_[i] = paints_.of(widgets_[i]);
        for (qsizetype i = 0; i < widgets_.size(); ++i)
            if (widgets_[i]->isVisible() && paints_.of(widgets_[i]) == seen_[i])
                widgets_[i]->repaint();
    }

private:
    PaintCounter& paints_;
    QList<QWidget*> widgets_;
    std::vector<long> seen_;
};

// Frames whose main value changes every time, so the repeat filter never drops one.
std::vector<WireFrame> MakeFrames(int count)
{
    std::vector<WireFrame> frames;
    frames.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        DisplayState s;
        s.function = char('0' + i % 3);
        s.range = '2';
        char digits[8];
        std::snprintf(digits, sizeof digits, "%06d", (i * 7919) % 22000);
        s.mainDigits = digits;
        s.mainPoint = 1;
        s.negative = (i % 5) == 0;
        frames.push_back(EncodeFrame(s));
    }
    return frames;
}

struct Window {
    MeterEnvironment env{SerialPortNames(), std::make_unique<testing::ScriptedSiUsbLibrary>()};
    SilentDialogs dialogs;
    TFCOMM window{env, dialogs};
    LogGrid* grid = nullptr;
    ChartWidget* chart = nullptr;
    std::vector<WireFrame> frames = MakeFrames(4096);
    std::size_t next = 0;

    Window()
    {
        grid = window.findChild<LogGrid*>("DBGrid1");
        chart = window.findChild<ChartWidget*>();
        window.show();
        QCoreApplication::processEvents();
        feed(); // the assembler finds its first frame boundary here
    }
    void feed()
    {
        const WireFrame& f = frames[next++ % frames.size()];
        window.VarnexData(f.data(), int(f.size()));
    }
    // Paints the grid (its cells too) and the chart whole, then whatever else the event
    // loop has pending.
    void paint()
    {
        PaintCounter paints;
        WholeRepaint(grid, paints)();
        WholeRepaint(chart, paints)();
        QCoreApplication::processEvents();
    }
};

// Decoder pass and LCD updates only: the record limit is reached, nothing is logged.
void DecodeAndApply(benchmark::State& state, bool painted)
{
    Window w;
    w.window.RecordLimitClick(0); // 1000 rows
    while (w.window.Log().LoggedCount() < w.window.Log().RecordLimit())
        w.feed();
    w.paint();
    const std::size_t rows = w.window.cds1().size();
    for (auto _ : state) {
        w.feed();
        if (painted)
            QCoreApplication::processEvents();
    }
    if (w.window.cds1().size() != rows)
        state.SkipWithError("a row was logged past the limit");
    state.counters["decoded"] = double(w.window.DecodedFrames());
}
void BM_DecodeApply(benchmark::State& state) { DecodeAndApply(state, false); }
void BM_DecodeApplyPainted(benchmark::State& state) { DecodeAndApply(state, true); }

struct Fill {
    double gridRssMb = 0.0; // resident memory the grid took on when told of the rows
    double seconds = 0.0;
};

// Puts `rows` rows in cds1 and points in the chart pager in one bulk change of the model.
Fill FillLog(Window& w, std::size_t rows)
{
    Fill fill;
    if (rows == 0)
        return fill;
    auto* model = w.grid->logModel();
    LogStore& store = w.window.cds1();
    QElapsedTimer timer;
    timer.start();
    store.reserve(rows + 100000);
    model->beginBulkChange();
    char timeText[16], value[16];
    for (std::size_t i = 0; i < rows; ++i) {
        std::snprintf(value, sizeof value, "%d.%04d", int(i % 200), int(i % 10000));
        std::snprintf(timeText, sizeof timeText, "%02d:%02d:%02d", int(i / 3600 % 24), int(i / 60 % 60), int(i % 60));
        store.append(LogRowInput{std::int32_t(i + 1), timeText, "DCV", value, "V", "", ""});
        w.window.ChartPager().AddPoint(double(i % 20000));
    }
    const double before = CurrentRssMb();
    model->endBulkChange();
    QCoreApplication::processEvents();
    fill.gridRssMb = CurrentRssMb() - before;
    fill.seconds = double(timer.elapsed()) / 1000.0;
    return fill;
}

// The grid's own share of a frame: a row appended to cds1 (LCD and chart untouched), then
// the event loop paints what changed.
void GridAppend(benchmark::State& state, std::size_t startRows)
{
    Window w;
    const Fill fill = FillLog(w, startRows);
    w.paint();
    LogStore& store = w.window.cds1();
    char value[16];
    int i = 0;
    for (auto _ : state) {
        std::snprintf(value, sizeof value, "%d.%03d", i % 100, i % 1000);
        ++i;
        store.append(LogRowInput{i, "12:00:00", "DCV", value, "V", "", ""});
        QCoreApplication::processEvents();
    }
    if (w.grid->currentLogRow() != int(store.size()) - 1)
        state.SkipWithError("the grid did not follow the last row");
    state.counters["grid_reset_rss_MB"] = fill.gridRssMb;
    state.counters["rss_MB"] = CurrentRssMb();
}
void BM_GridAppendAt0(benchmark::State& state) { GridAppend(state, 0); }
void BM_GridAppendAt10M(benchmark::State& state) { GridAppend(state, 10000000); }

// One logged frame, starting from `startRows` rows: the event loop paints what changed;
// with `forced`, the grid (cells included) and the chart are then repainted whole as well.
void LoggedFrame(benchmark::State& state, std::size_t startRows, bool forced)
{
    Window w;
    w.window.RecordLimitClick(5); // limitless
    Fill fill = FillLog(w, startRows);
    w.paint();
    const std::size_t rowsBefore = w.window.cds1().size();
    double phase[4] = {0, 0, 0, 0}; // thread CPU microseconds: feed, grid, chart, pending paints
    PaintCounter paints;
    WholeRepaint repaintGrid(w.grid, paints), repaintChart(w.chart, paints);
    long viewportInForced = 0, chartInForced = 0;
    for (auto _ : state) {
        double t0 = ThreadCpuUs();
        w.feed();
        double t1 = ThreadCpuUs();
        // Pending paints first (the LCD's digits), so the forced repaints below are the
        // grid's and the chart's own.
        QCoreApplication::processEvents();
        double t2 = ThreadCpuUs();
        const long viewportBefore = paints.of(w.grid->viewport());
        if (forced)
            repaintGrid();
        double t3 = ThreadCpuUs();
        viewportInForced += paints.of(w.grid->viewport()) - viewportBefore;
        const long chartBefore = paints.of(w.chart);
        if (forced)
            repaintChart();
        double t4 = ThreadCpuUs();
        chartInForced += paints.of(w.chart) - chartBefore;
        phase[0] += t1 - t0;
        phase[1] += t3 - t2;
        phase[2] += t4 - t3;
        phase[3] += t2 - t1;
    }
    const std::size_t rows = w.window.cds1().size();
    if (rows != rowsBefore + std::size_t(state.iterations()))
        state.SkipWithError("not every frame was logged");
    if (forced && (viewportInForced < state.iterations() || chartInForced < state.iterations()))
        state.SkipWithError("the forced repaint left the grid's cells or the chart unpainted");
    const double n = double(state.iterations());
    state.counters["cpu_feed_us"] = phase[0] / n;
    state.counters["cpu_grid_us"] = phase[1] / n;
    state.counters["cpu_chart_us"] = phase[2] / n;
    state.counters["cpu_events_us"] = phase[3] / n;
    state.counters["paints"] = double(paints.total) / n;
    state.counters["forced_cell_paints"] = double(viewportInForced) / n;
    state.counters["forced_chart_paints"] = double(chartInForced) / n;
    state.counters["rows_end"] = double(rows);
    state.counters["grid_reset_rss_MB"] = fill.gridRssMb;
    state.counters["fill_s"] = fill.seconds;
    state.counters["rss_MB"] = CurrentRssMb();
}
// Repaint of one part of the window, whole, with 200 rows logged: where a frame's paint time
// goes. 0 grid (cells, header, scroll bars), 1 grid cells (its viewport), 2 grid header,
// 3 chart, 4 LCD panel, 5 whole window. The paint events counted prove what was painted.
void BM_RepaintPart(benchmark::State& state)
{
    Window w;
    for (int i = 0; i < 200; ++i)
        w.feed();
    w.paint();
    QWidget* cells = w.grid->viewport();
    QWidget* lcd = w.window.findChild<QWidget*>("Panel1");
    QWidget* parts[] = {w.grid, cells, w.grid->horizontalHeader(), w.chart, lcd, &w.window};
    // what each part must paint every time
    const std::vector<QWidget*> musts[] = {{w.grid, cells}, {cells}, {w.grid->horizontalHeader()->viewport()},
                                           {w.chart},       {lcd},   {cells, w.chart, lcd}};
    QWidget* part = parts[state.range(0)];
    if (!part || !lcd) {
        state.SkipWithError("part not found");
        return;
    }
    PaintCounter paints;
    WholeRepaint repaint(part, paints);
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuUs();
        repaint();
        cpu += ThreadCpuUs() - t0;
    }
    const double n = double(state.iterations());
    for (QWidget* must : musts[state.range(0)])
        if (paints.of(must) < state.iterations())
            state.SkipWithError(qPrintable(must->metaObject()->className() + QStringLiteral(" was not painted")));
    state.counters["cpu_us"] = cpu / n;
    state.counters["paints"] = double(paints.total) / n;
    state.counters["cell_paints"] = double(paints.of(cells)) / n;
    state.counters["chart_paints"] = double(paints.of(w.chart)) / n;
    state.counters["lcd_paints"] = double(paints.of(lcd)) / n;
}

void BM_LoggedFrameAt0(benchmark::State& state) { LoggedFrame(state, 0, true); }
void BM_LoggedFrameAt10M(benchmark::State& state) { LoggedFrame(state, 10000000, true); }
void BM_LoggedFrameEventLoopAt0(benchmark::State& state) { LoggedFrame(state, 0, false); }
void BM_LoggedFrameEventLoopAt10M(benchmark::State& state) { LoggedFrame(state, 10000000, false); }

} // namespace
} // namespace varnex

BENCHMARK(varnex::BM_DecodeApply)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_DecodeApplyPainted)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_RepaintPart)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_GridAppendAt0)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(varnex::BM_GridAppendAt10M)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(varnex::BM_LoggedFrameAt0)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(varnex::BM_LoggedFrameAt10M)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(varnex::BM_LoggedFrameEventLoopAt0)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(varnex::BM_LoggedFrameEventLoopAt10M)->Unit(benchmark::kMicrosecond)->Iterations(2000);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
