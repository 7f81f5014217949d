// Draws the pictures in docs/screenshots (not a test): the trend window over a simulated
// night, zoomed out and zoomed in on the minute where it drifted, and the same view
// exported as PNG, SVG and PDF. Usage: trend_screenshots OUTDIR
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendPlotWidget.h"
#include "app/trend/TrendWindow.h"
#include "SimulatedRun.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>

#include <cstdio>

using namespace varnex;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: trend_screenshots OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QTimeZone zone("Europe/Berlin");
    TrendFeed feed(zone, [] { return QDate(2026, 12, 9); });
    const std::int64_t start = testing::BerlinMs(2026, 12, 9, 22, 0);
    testing::FeedSimulatedRun(feed, start, 8 * 3600 * 2, 500); // eight hours, two readings a second

    TrendWindow window(feed);
    window.resize(1100, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.refreshNow();
    QCoreApplication::processEvents();
    window.grab().save(out.filePath("trend-window-night.png"));

    // The minute where it drifted, 03:30 local, five and a half hours in.
    window.plot()->viewport().set(double(start + 5 * 3600'000LL + 1770'000), double(start + 5 * 3600'000LL + 1890'000));
    window.refreshNow();
    QCoreApplication::processEvents();
    window.grab().save(out.filePath("trend-window-zoomed.png"));

    // The whole night again, exported in each form.
    window.plot()->fitAll();
    window.refreshNow();
    QSignalSpy written(&window, &TrendWindow::pictureWritten);
    for (const char* name : {"trend-export.png", "trend-export.svg", "trend-export.pdf"}) {
        window.exportPicture(QDir::temp().filePath(QString::fromLatin1(name)), 1.0);
        written.wait(20000);
    }
    // The SVG as Qt SVG draws it.
    QSvgRenderer svg(QDir::temp().filePath("trend-export.svg"));
    QImage image(svg.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    image.save(out.filePath("trend-export-svg.png"));
    QFile::remove(out.filePath("trend-export-png.png"));
    QFile::copy(QDir::temp().filePath("trend-export.png"), out.filePath("trend-export-png.png"));
    std::printf("%s\n", qPrintable(QDir::temp().filePath("trend-export.pdf")));
    return 0;
}
