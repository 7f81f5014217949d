// The trend window with the mouse: wheel zoom around the cursor, drag pan, rubber band,
// double click fit, the hover reading, following live readings, the statistics texts,
// the note on placed rows, and exports written off the UI thread.
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendPlotWidget.h"
#include "app/trend/TrendWindow.h"
#include "SimulatedRun.h"

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::BerlinMs;

class TrendWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QApplication::setQuitOnLastWindowClosed(false);
        testing::FeedSimulatedRun(feed_, start_, 2 * 3600, 1000); // 22:00 to 24:00, DCV only
        window_ = std::make_unique<TrendWindow>(feed_);
        window_->resize(1000, 640);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    TrendPlotWidget* plot() { return window_->plot(); }
    TrendViewport& view() { return plot()->viewport(); }
    QPoint atFraction(double fx, double fy = 0.5)
    {
        const QRectF p = plot()->lastLayout().plot;
        return QPointF(p.left() + fx * p.width(), p.top() + fy * p.height()).toPoint();
    }
    LoggedRow volts(std::int64_t utcMs, const char* text)
    {
        LoggedRow row;
        row.row.Function = "DCV";
        row.row.Value = text;
        row.row.Unit = "V";
        row.utcMs = utcMs;
        row.si = ToSiQuantity(text, "V", ".");
        return row;
    }

    QTimeZone zone_{"Europe/Berlin"};
    TrendFeed feed_{zone_, [] { return QDate(2026, 12, 9); }};
    std::int64_t start_ = BerlinMs(2026, 12, 9, 22, 0);
    std::unique_ptr<TrendWindow> window_;
};

TEST_F(TrendWindowFixture, OpensAsAResizableNonModalWindowFittingEveryReading)
{
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Trend and statistics"));
    EXPECT_FALSE(window_->isModal());
    EXPECT_TRUE(window_->isWindow());
    window_->resize(1200, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_->size(), QSize(1200, 700));
    EXPECT_LE(view().fromMs(), double(start_));
    EXPECT_GE(view().toMs(), double(feed_.series().lastMs()));
    EXPECT_LT(view().spanMs(), 2.2 * 3600'000);
}

TEST_F(TrendWindowFixture, WheelZoomsAroundTheCursorDragPansDoubleClickFits)
{
    const double spanBefore = view().spanMs();
    const QPoint at = atFraction(0.25);
    const double under = plot()->lastLayout().timeAt(at.x());
    QWheelEvent wheel(QPointF(at), plot()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(plot(), &wheel);
    EXPECT_NEAR(view().spanMs(), spanBefore * 0.8, 1.0);
    EXPECT_NEAR(plot()->lastLayout().timeAt(at.x()), under, view().spanMs() / plot()->lastLayout().plot.width());

    // Drag 100 pixels to the right: earlier times by 100 pixels' worth.
    const double from = view().fromMs(), span = view().spanMs();
    const double msPerPx = span / plot()->lastLayout().plot.width();
    QTest::mousePress(plot(), Qt::LeftButton, Qt::NoModifier, atFraction(0.5));
    QTest::mouseMove(plot(), atFraction(0.5) + QPoint(100, 0));
    QTest::mouseRelease(plot(), Qt::LeftButton, Qt::NoModifier, atFraction(0.5) + QPoint(100, 0));
    EXPECT_NEAR(view().fromMs(), from - 100 * msPerPx, msPerPx);
    EXPECT_DOUBLE_EQ(view().spanMs(), span);

    QTest::mouseDClick(plot(), Qt::LeftButton, Qt::NoModifier, atFraction(0.5));
    EXPECT_NEAR(view().spanMs(), spanBefore, 1.0);
}

TEST_F(TrendWindowFixture, RubberBandZoomsToTheSpanItCovers)
{
    const TrendLayout before = plot()->lastLayout();
    const QPoint a = atFraction(0.2), b = atFraction(0.6);
    const double t0 = before.timeAt(a.x()), t1 = before.timeAt(b.x());
    QTest::mousePress(plot(), Qt::RightButton, Qt::NoModifier, a);
    QTest::mouseMove(plot(), b);
    QTest::mouseRelease(plot(), Qt::RightButton, Qt::NoModifier, b);
    const double px = (before.toMs - before.fromMs) / before.plot.width();
    EXPECT_NEAR(view().fromMs(), t0, px);
    EXPECT_NEAR(view().toMs(), t1, px);
}

TEST_F(TrendWindowFixture, HoverReadsTheNearestReading)
{
    // Zoom to a few minutes so that a pixel holds a reading or so.
    view().set(double(start_ + 600'000), double(start_ + 900'000));
    window_->refreshNow();
    const QPoint at = atFraction(0.5, 0.5);
    QTest::mouseMove(plot(), at);
    const double t = plot()->lastLayout().timeAt(at.x());
    const std::int64_t nearest = feed_.series().nearest(0, t);
    ASSERT_GE(nearest, 0);
    const QString expectedTime = QDateTime::fromMSecsSinceEpoch(feed_.series().timeAt(nearest), zone_)
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    EXPECT_TRUE(plot()->hoverText().startsWith(expectedTime)) << plot()->hoverText().toStdString();
    EXPECT_TRUE(plot()->hoverText().contains(QStringLiteral("DCV 4.9")) ||
                plot()->hoverText().contains(QStringLiteral("DCV 5.0")))
        << plot()->hoverText().toStdString();
    // Below the plot there is nothing to read.
    QTest::mouseMove(plot(), QPoint(at.x(), plot()->height() - 2));
    EXPECT_TRUE(plot()->hoverText().isEmpty());
}

TEST_F(TrendWindowFixture, FollowsNewReadingsOnlyWhileTheNewestIsInView)
{
    const double last = double(feed_.series().lastMs());
    feed_.rowLogged(volts(std::int64_t(last) + 600'000, "5.00000"));
    window_->refreshNow();
    EXPECT_GE(view().toMs(), last + 600'000);

    // The user looks back at the first half hour: new readings leave the view alone.
    view().set(double(start_), double(start_ + 1800'000));
    window_->refreshNow();
    feed_.rowLogged(volts(std::int64_t(last) + 1200'000, "5.00001"));
    window_->refreshNow();
    EXPECT_DOUBLE_EQ(view().fromMs(), double(start_));
    EXPECT_DOUBLE_EQ(view().toMs(), double(start_ + 1800'000));
}

TEST_F(TrendWindowFixture, StatisticsOfTheViewAndOfTheWholeTable)
{
    EXPECT_TRUE(window_->wholeStatisticsText().startsWith(QStringLiteral("DCV [V]: 7200 readings")))
        << window_->wholeStatisticsText().toStdString();
    view().set(double(start_), double(start_ + 600'000)); // ten minutes: 600 readings
    window_->refreshNow();
    EXPECT_TRUE(window_->visibleStatisticsText().contains(QStringLiteral("DCV [V]: 600 readings")))
        << window_->visibleStatisticsText().toStdString();
    EXPECT_TRUE(window_->wholeStatisticsText().startsWith(QStringLiteral("DCV [V]: 7200 readings")));

    feed_.rowsCleared(); // "Close Data"
    window_->refreshNow();
    EXPECT_EQ(window_->wholeStatisticsText(), QStringLiteral("No readings"));
}

TEST_F(TrendWindowFixture, SaysHowRowsFromAFileWerePlaced)
{
    EXPECT_TRUE(window_->noteText().isEmpty());
    for (const char* time : {"23:59:59", "00:00:01"}) {
        LoggedRow row = volts(0, "1.0");
        row.row.Time = time;
        row.source = RowSource::Load;
        feed_.rowLogged(row);
    }
    window_->refreshNow();
    EXPECT_TRUE(window_->noteText().contains(QStringLiteral("placed from 2026-12-09")))
        << window_->noteText().toStdString();
    EXPECT_TRUE(window_->noteText().contains(QStringLiteral("(1 day changes)")));
}

TEST_F(TrendWindowFixture, ExportsAreWrittenOffTheUiThreadAndKeepTheChosenForm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSignalSpy written(window_.get(), &TrendWindow::pictureWritten);
    ASSERT_TRUE(window_->exportPicture(dir.filePath("view.png"), 2.0));
    ASSERT_TRUE(written.wait(10000));
    EXPECT_TRUE(written.at(0).at(1).toString().isEmpty()) << written.at(0).at(1).toString().toStdString();
    const QImage image(dir.filePath("view.png"));
    EXPECT_EQ(image.width(), plot()->width() * 2);

    // The dialog's SVG filter with a name without extension gives an SVG.
    window_->setAskPictureName([&](QWidget*, const QString& filters, QString* selected) {
        EXPECT_TRUE(filters.contains(QStringLiteral("*.svg")));
        *selected = QStringLiteral("SVG drawing (*.svg)");
        return dir.filePath("named");
    });
    window_->exportPictureInteractively();
    ASSERT_TRUE(written.wait(10000));
    EXPECT_EQ(written.at(1).at(0).toString(), dir.filePath("named.svg"));
    EXPECT_TRUE(QFile::exists(dir.filePath("named.svg")));

    // The double-resolution PNG filter gives twice the pixels.
    window_->setAskPictureName([&](QWidget*, const QString&, QString* selected) {
        *selected = QStringLiteral("PNG image, double resolution (*.png)");
        return dir.filePath("double.png");
    });
    window_->exportPictureInteractively();
    ASSERT_TRUE(written.wait(10000));
    EXPECT_EQ(QImage(dir.filePath("double.png")).width(), plot()->width() * 2);

    EXPECT_FALSE(window_->exportPicture(dir.filePath("view.bmp"), 1.0)); // not a form it writes
    EXPECT_FALSE(window_->statusText().isEmpty());
}

} // namespace
} // namespace varnex
