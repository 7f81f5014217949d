// Trend costs with ten million readings held: redrawing the whole run and a zoomed span
// into an image of a window's plot size, one new reading through the feed, and the
// memory per reading (series and summaries).
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendRenderer.h"
#include "log/SiQuantity.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

namespace varnex {
namespace {

constexpr std::int64_t kReadings = 10'000'000;
constexpr std::int64_t kStartMs = 1'796'000'000'000; // December 2026

// Ten readings a second for about eleven and a half days: DC volts with an hour of
// resistance every ten hours and an overload now and then.
TrendFeed& LoadedFeed()
{
    static std::unique_ptr<TrendFeed> feed = [] {
        auto f = std::make_unique<TrendFeed>(QTimeZone("Europe/Berlin"));
        std::mt19937 rng(5);
        std::normal_distribution<double> noise(0.0, 0.0003);
        for (std::int64_t i = 0; i < kReadings; ++i) {
            LoggedRow row;
            row.utcMs = kStartMs + i * 100;
            const bool ohms = (i / 36000) % 10 == 9;
            row.row.Function = ohms ? "OHM" : "DCV";
            row.si.siUnit = ohms ? "\u03A9" : "V";
            row.si.overload = i % 50'000 == 7;
            if (!row.si.overload)
                row.si.value = ohms ? 4700.0 + 2.0 * std::sin(double(i) * 1e-4)
                                    : 5.0 + 0.01 * std::sin(double(i) * 1e-6) + noise(rng);
            f->rowLogged(row);
        }
        return f;
    }();
    return *feed;
}

void Redraw(benchmark::State& state, double fraction)
{
    TrendFeed& feed = LoadedFeed();
    const TrendSeries& series = feed.series();
    TrendRenderOptions options;
    options.zone = feed.zone();
    const TrendRenderer renderer(series, options);
    QImage image(1000, 560, QImage::Format_RGB32);
    const double first = double(series.firstMs()), last = double(series.lastMs());
    const double span = (last - first) * fraction;
    const double from = first + (last - first - span) / 2.0;
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.paint(painter, QRectF(image.rect()), from, from + span);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["readings"] = double(series.size());
}

void BM_TrendRedrawWholeRun10M(benchmark::State& state) { Redraw(state, 1.0); }
void BM_TrendRedrawTenthOfRun10M(benchmark::State& state) { Redraw(state, 0.1); }
void BM_TrendRedrawHourOf10M(benchmark::State& state) { Redraw(state, 3600e3 / (double(kReadings) * 100.0)); }

// One reading as the log hands it on: the SI value from the texts, then the feed.
void BM_TrendNewReadingWith10MHeld(benchmark::State& state)
{
    TrendFeed& feed = LoadedFeed();
    std::int64_t t = kStartMs + kReadings * 100;
    LoggedRow row;
    row.row.Function = "DCV";
    row.row.Value = "5.00012";
    row.row.Unit = "V";
    for (auto _ : state) {
        row.utcMs = t;
        t += 100;
        row.si = ToSiQuantity(row.row.Value, row.row.Unit, ".");
        feed.rowLogged(row);
    }
    state.counters["bytes_per_reading"] = double(feed.series().memoryBytes()) / double(feed.series().size());
}

// A row loaded from a 7-column file: its time of day placed on its day, then the feed
// (a load announces thousands of these per slice of the UI thread).
void BM_TrendLoadedRow(benchmark::State& state)
{
    TrendFeed feed(QTimeZone("Europe/Berlin"), [] { return QDate(2026, 12, 9); });
    LoggedRow row;
    row.row.Function = "DCV";
    row.row.Value = "5.00012";
    row.row.Unit = "V";
    row.source = RowSource::Load;
    char time[16];
    int second = 0;
    for (auto _ : state) {
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", second / 3600 % 24, second / 60 % 60, second % 60);
        ++second;
        row.row.Time = time;
        row.si = ToSiQuantity(row.row.Value, row.row.Unit, ".");
        feed.rowLogged(row);
    }
}

BENCHMARK(BM_TrendLoadedRow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrendRedrawWholeRun10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrendRedrawTenthOfRun10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrendRedrawHourOf10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrendNewReadingWith10MHeld)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace varnex

// Fonts need a GUI application: run offscreen unless told otherwise.
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
