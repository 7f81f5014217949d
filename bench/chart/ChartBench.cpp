// Chart costs: repainting a page of 100 and of 1,000,000 points into an offscreen
// image of the chart's size, a page move (axes redrawn too), and AddPoint with a
// million points held.
#include "chart/ChartWidget.h"
#include "chart/TChartControl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace varnex {
namespace {

struct LoadedChart {
    ChartWidget chart;
    TChartControl pager;
    LoadedChart(int pageSize, int points) : pager(chart, pageSize)
    {
        pager.SetLeftMaximum(22000);
        pager.SetLeftMinimum(-22000);
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0.0, 1500.0);
        for (int i = 0; i < points; ++i)
            pager.AddPoint(float(8000.0 * std::sin(i * 0.01) + noise(random)));
    }
};

void Repaint(benchmark::State& state, int pageSize, int points)
{
    LoadedChart loaded(pageSize, points);
    QImage image(loaded.chart.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        loaded.chart.Render(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points_stored"] = double(loaded.chart.Points().Size());
}

void BM_RepaintPage100(benchmark::State& state) { Repaint(state, 100, 1000000); }
void BM_RepaintPage1M(benchmark::State& state) { Repaint(state, 1000000, 1000000); }

// A page move redraws the axes layer as well.
void BM_PageMoveAndRepaint100(benchmark::State& state)
{
    LoadedChart loaded(100, 1000000);
    QImage image(loaded.chart.size(), QImage::Format_RGB32);
    bool back = true;
    for (auto _ : state) {
        if (back)
            loaded.pager.PreviousPage();
        else
            loaded.pager.NextPage();
        back = !back;
        QPainter painter(&image);
        loaded.chart.Render(painter);
    }
}

void BM_PageMoveAndRepaint1M(benchmark::State& state)
{
    LoadedChart loaded(1000000, 2000000);
    QImage image(loaded.chart.size(), QImage::Format_RGB32);
    bool back = true;
    for (auto _ : state) {
        if (back)
            loaded.pager.PreviousPage();
        else
            loaded.pager.NextPage();
        back = !back;
        QPainter painter(&image);
        loaded.chart.Render(painter);
    }
}

// Page size 1 with a million points: FirstPage and LastPage each make a million
// guarded scrolls.
void BM_FirstAndLastPageOfAMillionPages(benchmark::State& state)
{
    LoadedChart loaded(1, 1000000);
    for (auto _ : state) {
        loaded.pager.FirstPage();
        loaded.pager.LastPage();
    }
    state.counters["current_page"] = loaded.pager.CurrentPage();
}

void BM_AddPointWithMillionStored(benchmark::State& state)
{
    LoadedChart loaded(100, 1000000);
    double v = 0.0;
    for (auto _ : state) {
        loaded.pager.AddPoint(v);
        v += 0.25;
    }
    state.counters["bytes_per_point"] =
        double(loaded.chart.Points().MemoryBytes()) / double(loaded.chart.Points().Size());
}

BENCHMARK(BM_RepaintPage100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPage1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageMoveAndRepaint100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageMoveAndRepaint1M)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstAndLastPageOfAMillionPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddPointWithMillionStored)->Unit(benchmark::kNanosecond);

} // namespace
} // namespace varnex

// QPixmap needs a GUI application: run offscreen unless told otherwise.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
