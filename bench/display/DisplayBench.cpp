// The virtual LCD's paint cost per frame, offscreen: the panel sits over the meter face in a
// window laid out as the main window lays them out, and each frame changes the six main digits
// (the rest stays). CPU time of the main thread is reported besides wall time.
#include "display/LcdLabel.h"
#include "display/MeterFace.h"
#include "display/VirtualLcd.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <ctime>

namespace varnex {
namespace {

double ThreadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Window {
    QWidget host;
    MeterFace* face = new MeterFace(&host);
    VirtualLcd* lcd = new VirtualLcd(&host);
    std::array<LcdLabel*, 6> digits{};
    int frame = 0;

    Window()
    {
        host.setFixedSize(857, 667);
        face->setGeometry(kMeterFaceLeft, kMeterFaceTop, kMeterFaceWidth, kMeterFaceHeight);
        lcd->setGeometry(30, 80, 654, 177);
        const LcdElement main[] = {LcdElement::LcdD0, LcdElement::LcdDa, LcdElement::LcdDb,
                                   LcdElement::LcdDc, LcdElement::LcdDd, LcdElement::LcdDe};
        for (std::size_t i = 0; i < digits.size(); ++i)
            digits[i] = lcd->label(main[i]);
        for (const char* name : {"LcdDc1", "lcdrange", "LcdV", "LcdAuto", "LCDsend", "LcdP1"})
            lcd->setElementVisible(QString::fromLatin1(name), true);
        lcd->setElementText(QStringLiteral("LcdDc1"), QStringLiteral("DCV "));
        lcd->setElementText(QStringLiteral("lcdrange"), QStringLiteral("2 2 V"));
        host.show();
        QCoreApplication::processEvents();
    }
    // The texts of one frame: a new reading in the main digits, everything else as before.
    void nextFrame()
    {
        char text[8];
        std::snprintf(text, sizeof text, "%06d", (frame++ * 7919) % 220000);
        for (std::size_t i = 0; i < digits.size(); ++i)
            digits[i]->setText(QString(QLatin1Char(text[i])));
        lcd->refreshOverloadLook();
    }
};

// A frame's texts set, then the event loop paints what changed (as it does between frames).
void BM_FramePaint(benchmark::State& state)
{
    Window w;
    for (int i = 0; i < 50; ++i) { // every digit's look has been drawn once
        w.nextFrame();
        QCoreApplication::processEvents();
    }
    PaintCounter counter;
    w.digits.back()->installEventFilter(&counter);
    double cpu = 0;
    for (auto _ : state) {
        w.nextFrame();
        const double t0 = ThreadCpuUs();
        QCoreApplication::processEvents();
        cpu += ThreadCpuUs() - t0;
    }
    state.counters["cpu_paint_us"] = cpu / double(state.iterations());
    // the last digit changes every frame, so one paint per frame means nothing was batched
    state.counters["paints_per_frame"] = double(counter.paints) / double(state.iterations());
}

// A frame's texts set, then the panel is repainted at once (repaint() paints the dirty digits
// and whatever Qt has to repaint beneath them).
void BM_FrameRepaint(benchmark::State& state)
{
    Window w;
    for (int i = 0; i < 50; ++i) {
        w.nextFrame();
        w.lcd->repaint();
    }
    double cpu = 0;
    for (auto _ : state) {
        w.nextFrame();
        const double t0 = ThreadCpuUs();
        for (LcdLabel* digit : w.digits)
            digit->repaint();
        cpu += ThreadCpuUs() - t0;
    }
    state.counters["cpu_paint_us"] = cpu / double(state.iterations());
}

// The whole panel repainted with nothing changed (a window uncovered, a resize).
void BM_PanelRepaint(benchmark::State& state)
{
    Window w;
    double cpu = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuUs();
        w.lcd->repaint();
        cpu += ThreadCpuUs() - t0;
    }
    state.counters["cpu_paint_us"] = cpu / double(state.iterations());
}

// The decimal point moving every frame: a point hidden and another shown.
void BM_PointMove(benchmark::State& state)
{
    Window w;
    const LcdElement points[] = {LcdElement::LcdP0, LcdElement::LcdP1, LcdElement::LcdP2};
    int i = 0;
    double cpu = 0;
    for (auto _ : state) {
        w.lcd->element(points[i % 3])->setVisible(false);
        w.lcd->element(points[++i % 3])->setVisible(true);
        const double t0 = ThreadCpuUs();
        QCoreApplication::processEvents();
        cpu += ThreadCpuUs() - t0;
    }
    state.counters["cpu_paint_us"] = cpu / double(state.iterations());
}

} // namespace
} // namespace varnex

BENCHMARK(varnex::BM_FramePaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_FrameRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_PanelRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(varnex::BM_PointMove)->Unit(benchmark::kMicrosecond);

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
