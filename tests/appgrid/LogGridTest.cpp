// The log grid shows a window of the log: only the rows that fit, moved by its own scroll
// bar, the wheel and the keys, with the current row kept as a log row.
#include "app/LogCellDelegate.h"
#include "app/LogGrid.h"
#include "log/LogStore.h"
#include "log/LogTableModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace varnex {
namespace {

class LogGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid_.setLogModel(&model_);
        grid_.resize(428, 217); // DBGrid1's size in the window
        grid_.show();
        QCoreApplication::processEvents();
    }

    void append(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int n = int(store_.size()) + 1;
            const std::string value = std::to_string(n) + ".5";
            store_.append(LogRowInput{n, "12:00:00", "DCV", value, n % 2 ? "K*" : "mV", "", ""});
        }
    }

    // Appends in one go, as a file load does.
    void bulkAppend(int count)
    {
        model_.beginBulkChange();
        append(count);
        model_.endBulkChange();
    }

    QAbstractItemModel* shown() { return grid_.model(); }
    int shownRows() { return shown()->rowCount(); }
    QString shownCell(int row, int column) { return shown()->data(shown()->index(row, column)).toString(); }
    QString logCell(int row, int column) { return model_.data(model_.index(row, column)).toString(); }
    int lastOffset() { return int(store_.size()) - grid_.visibleRows(); }

    void wheel(int angle)
    {
        const QPointF at(20, 20);
        QWheelEvent event(at, grid_.viewport()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid_.viewport(), &event);
    }

    // The fastest of several batches of single appends, in nanoseconds per row.
    double appendCostNs()
    {
        double best = 1e30;
        for (int batch = 0; batch < 5; ++batch) {
            QElapsedTimer timer;
            timer.start();
            append(2000);
            QCoreApplication::processEvents(); // the view's deferred work counts too
            best = std::min(best, double(timer.nsecsElapsed()) / 2000.0);
        }
        return best;
    }

    // The selected window row, -1 for none.
    int selectedWindowRow()
    {
        const QModelIndexList rows = grid_.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }

    LogStore store_;
    LogTableModel model_{store_};
    LogGrid grid_;
};

TEST_F(LogGridTest, ViewHoldsOnlyTheRowsThatFit)
{
    bulkAppend(100000);
    const int fit = grid_.visibleRows();
    ASSERT_GE(fit, 8);
    EXPECT_LE(fit * 17, grid_.viewport()->height());
    EXPECT_EQ(shownRows(), fit);
    EXPECT_EQ(grid_.verticalHeader()->count(), fit) << "no header data per log row";
    EXPECT_EQ(grid_.logScrollBar()->maximum(), 100000 - fit);
    EXPECT_EQ(grid_.logScrollBar()->pageStep(), fit);
    EXPECT_TRUE(grid_.logScrollBar()->isVisible());
    EXPECT_FALSE(grid_.verticalScrollBar()->isVisible());
    // The last window row lies wholly inside the viewport.
    EXPECT_TRUE(grid_.viewport()->rect().contains(grid_.visualRect(shown()->index(fit - 1, 0))));
}

TEST_F(LogGridTest, FewRowsShowFromTheTop)
{
    append(3);
    EXPECT_EQ(shownRows(), 3);
    EXPECT_EQ(grid_.firstShownRow(), 0);
    EXPECT_EQ(grid_.logScrollBar()->maximum(), 0);
    EXPECT_EQ(shownCell(2, 0), QStringLiteral("3"));
}

TEST_F(LogGridTest, CellsShownAreTheLogRowsAtEveryOffset)
{
    bulkAppend(5000);
    const int fit = grid_.visibleRows();
    for (int offset : {0, 1, 17, 2500, 4999 - fit, 5000 - fit}) {
        grid_.logScrollBar()->setValue(offset);
        ASSERT_EQ(grid_.firstShownRow(), offset);
        ASSERT_EQ(shownRows(), fit);
        for (int r = 0; r < fit; ++r) {
            EXPECT_EQ(shownCell(r, 0), QString::number(offset + r + 1)) << "offset " << offset << " row " << r;
            for (int c = 1; c < LogFieldCount; ++c)
                EXPECT_EQ(shownCell(r, c), logCell(offset + r, c)) << "offset " << offset << " row " << r;
        }
    }
    // Past the end the window stops at the last rows.
    grid_.logScrollBar()->setValue(6000);
    EXPECT_EQ(grid_.firstShownRow(), 5000 - fit);
}

TEST_F(LogGridTest, TitlesAlignmentUnitSignAndReadOnly)
{
    append(2);
    const char* titles[] = {"No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"};
    for (int c = 0; c < LogFieldCount; ++c)
        EXPECT_EQ(shown()->headerData(c, Qt::Horizontal).toString(), QString::fromLatin1(titles[c]));
    const auto align = [&](int column) {
        return shown()->data(shown()->index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_EQ(align(1), Qt::Alignment(Qt::AlignCenter));
    EXPECT_EQ(align(3), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(shownCell(0, 4), QString(QStringLiteral("K")) + QChar(0x03A9));
    EXPECT_FALSE(shown()->flags(shown()->index(0, 3)) & Qt::ItemIsEditable);
    EXPECT_EQ(grid_.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(grid_.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(grid_.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
}

TEST_F(LogGridTest, EachNewRowIsSelectedAndInView)
{
    for (int i = 0; i < 60; ++i) {
        append(1);
        ASSERT_EQ(grid_.currentLogRow(), i);
        const int row = i - grid_.firstShownRow();
        ASSERT_GE(row, 0);
        ASSERT_LT(row, shownRows());
        EXPECT_EQ(grid_.currentIndex().row(), row);
        EXPECT_EQ(selectedWindowRow(), row);
        EXPECT_EQ(shownCell(row, 0), QString::number(i + 1));
    }
    EXPECT_EQ(grid_.firstShownRow(), 60 - grid_.visibleRows());
}

TEST_F(LogGridTest, NewRowBringsTheWindowBackToTheEnd)
{
    append(300);
    grid_.syncScrollBar();
    grid_.logScrollBar()->setValue(0);
    ASSERT_EQ(grid_.firstShownRow(), 0);
    EXPECT_EQ(selectedWindowRow(), -1) << "the current row is out of the window";
    EXPECT_EQ(grid_.currentLogRow(), 299);
    append(1);
    EXPECT_EQ(grid_.firstShownRow(), lastOffset());
    EXPECT_EQ(grid_.currentLogRow(), 300);
    EXPECT_EQ(selectedWindowRow(), grid_.visibleRows() - 1);
}

TEST_F(LogGridTest, SelectionFollowsTheLogRowWhileScrolling)
{
    append(300);
    grid_.scrollToLogRow(150, QAbstractItemView::PositionAtTop);
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, grid_.visualRect(shown()->index(2, 1)).center());
    ASSERT_EQ(grid_.currentLogRow(), 152);
    grid_.logScrollBar()->setValue(148);
    EXPECT_EQ(selectedWindowRow(), 4);
    EXPECT_EQ(shownCell(selectedWindowRow(), 0), QStringLiteral("153"));
    grid_.logScrollBar()->setValue(0);
    EXPECT_EQ(selectedWindowRow(), -1);
    grid_.logScrollBar()->setValue(150);
    EXPECT_EQ(selectedWindowRow(), 2);
}

TEST_F(LogGridTest, WheelMovesTheWindow)
{
    append(500);
    grid_.syncScrollBar();
    grid_.logScrollBar()->setValue(100);
    const int lines = QApplication::wheelScrollLines();
    wheel(120);
    EXPECT_EQ(grid_.firstShownRow(), 100 - lines);
    EXPECT_EQ(grid_.logScrollBar()->value(), 100 - lines);
    wheel(-240);
    EXPECT_EQ(grid_.firstShownRow(), 100 + lines);
    // Half notches add up to one.
    wheel(60);
    EXPECT_EQ(grid_.firstShownRow(), 100 + lines);
    wheel(60);
    EXPECT_EQ(grid_.firstShownRow(), 100);
    EXPECT_EQ(shownCell(0, 0), QStringLiteral("101"));
}

TEST_F(LogGridTest, KeysMoveTheCurrentRowThroughTheWholeLog)
{
    append(500);
    const int fit = grid_.visibleRows();
    grid_.setFocus();
    QTest::keyClick(&grid_, Qt::Key_Up);
    EXPECT_EQ(grid_.currentLogRow(), 498);
    QTest::keyClick(&grid_, Qt::Key_Home);
    EXPECT_EQ(grid_.currentLogRow(), 0);
    EXPECT_EQ(grid_.firstShownRow(), 0);
    EXPECT_EQ(selectedWindowRow(), 0);
    QTest::keyClick(&grid_, Qt::Key_PageDown);
    EXPECT_EQ(grid_.currentLogRow(), fit);
    EXPECT_EQ(grid_.firstShownRow(), 1) << "the window moves just enough to show the row";
    for (int i = 0; i < fit + 5; ++i)
        QTest::keyClick(&grid_, Qt::Key_Down);
    EXPECT_EQ(grid_.currentLogRow(), 2 * fit + 5);
    EXPECT_EQ(grid_.firstShownRow(), fit + 6);
    EXPECT_EQ(shownCell(selectedWindowRow(), 0), QString::number(2 * fit + 6));
    QTest::keyClick(&grid_, Qt::Key_PageUp);
    EXPECT_EQ(grid_.currentLogRow(), fit + 5);
    QTest::keyClick(&grid_, Qt::Key_End);
    EXPECT_EQ(grid_.currentLogRow(), 499);
    EXPECT_EQ(grid_.firstShownRow(), 500 - fit);
    QTest::keyClick(&grid_, Qt::Key_Down);
    EXPECT_EQ(grid_.currentLogRow(), 499) << "no row past the last";
}

// Moving the window scrolls the pixels of the rows that stay and paints only the others:
// what is on screen must equal a fresh paint of the whole grid.
TEST_F(LogGridTest, ScrolledPixelsMatchAFreshPaint)
{
    append(100);
    QWidget* viewport = grid_.viewport();
    const auto check = [&](const char* what) {
        QTest::qWait(20); // the view's deferred layout and paint run on zero timers
        const QPoint at = viewport->mapTo(&grid_, QPoint(0, 0));
        const QImage onScreen = grid_.screen()
                                    ->grabWindow(grid_.winId(), at.x(), at.y(), viewport->width(), viewport->height())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(onScreen.isNull());
        EXPECT_TRUE(onScreen == fresh) << what;
    };
    check("start");
    for (int i = 0; i < 4; ++i)
        check((append(1), "a logged row"));
    check((append(3), "three logged rows"));
    QScrollBar* bar = grid_.logScrollBar();
    grid_.syncScrollBar();
    check((bar->setValue(bar->value() - 2), "two rows up"));
    check((bar->setValue(bar->value() + 1), "one row down"));
    check((wheel(120), "a wheel notch up"));
    check((bar->setValue(10), "a page away"));
    check((append(1), "a logged row while scrolled away"));
    // Columns moved and resized by the user change only how the rows are drawn.
    grid_.horizontalHeader()->moveSection(3, 0);
    grid_.setColumnWidth(1, 90);
    check("columns moved");
    check((append(2), "logged rows after a column move"));
    EXPECT_EQ(grid_.horizontalHeader()->logicalIndexAt(5), 3);
}

TEST_F(LogGridTest, ScrollBarCatchesUpWithLoggedRowsSoon)
{
    append(50);
    const int fit = grid_.visibleRows();
    QScrollBar* bar = grid_.logScrollBar();
    EXPECT_EQ(grid_.firstShownRow(), 50 - fit) << "the window itself follows at once";
    QElapsedTimer waited;
    waited.start();
    while (bar->maximum() != 50 - fit && waited.elapsed() < 2000)
        QTest::qWait(10);
    EXPECT_EQ(bar->maximum(), 50 - fit);
    EXPECT_EQ(bar->value(), 50 - fit);
    // Dragging the bar after that moves the window.
    bar->setValue(5);
    EXPECT_EQ(grid_.firstShownRow(), 5);
}

TEST_F(LogGridTest, ClearEmptiesTheGridAndLoggingStartsAgain)
{
    append(200);
    store_.clear();
    EXPECT_EQ(shownRows(), 0);
    EXPECT_EQ(grid_.logScrollBar()->maximum(), 0);
    EXPECT_EQ(selectedWindowRow(), -1);
    append(1);
    EXPECT_EQ(shownRows(), 1);
    EXPECT_EQ(grid_.currentLogRow(), 0);
    EXPECT_EQ(selectedWindowRow(), 0);
}

TEST_F(LogGridTest, BulkLoadShowsTheCurrentRowAtTheEnd)
{
    append(10);
    bulkAppend(20000);
    EXPECT_EQ(grid_.firstShownRow(), lastOffset());
    EXPECT_EQ(grid_.currentLogRow(), 20009);
    EXPECT_EQ(shownCell(selectedWindowRow(), 0), QStringLiteral("20010"));
}

TEST_F(LogGridTest, ResizeChangesHowManyRowsAreShown)
{
    append(1000);
    const int before = grid_.visibleRows();
    grid_.resize(428, 217 + 17 * 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid_.visibleRows(), before + 5);
    EXPECT_EQ(shownRows(), before + 5);
    EXPECT_EQ(grid_.firstShownRow(), 1000 - (before + 5));
    EXPECT_EQ(grid_.currentLogRow(), 999);
    EXPECT_EQ(selectedWindowRow(), before + 4);
}

// Row numbers of any length the log can hold are shown whole in the No column: the
// column grows when a longer number comes into view, and keeps its design width of 46
// pixels while the numbers fit.
struct NumberColumnCase {
    const char* name;
    std::vector<std::int32_t> numbers; // the No of each row, in order
    int designWidthKept;               // 1: the column stays 46 wide
};

void PrintTo(const NumberColumnCase& c, std::ostream* os) { *os << c.name; }

class LogGridNumberColumn : public LogGridTest, public ::testing::WithParamInterface<NumberColumnCase> {
protected:
    // Whether the cell delegate has room for the number without cutting it.
    ::testing::AssertionResult shownWhole(int windowRow)
    {
        const QModelIndex index = shown()->index(windowRow, 0);
        const QString text = shown()->data(index).toString();
        const double textWidth = QFontMetricsF(grid_.font()).horizontalAdvance(text);
        const int room = grid_.visualRect(index).width() - 2 * LogCellDelegate::kTextMargin;
        if (textWidth <= room)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << text.toStdString() << " needs " << textWidth << " px, has " << room;
    }
};

TEST_P(LogGridNumberColumn, NumbersAreShownWhole)
{
    // The window's font: bold, 11 pixels.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    grid_.setFont(font);
    const NumberColumnCase& c = GetParam();
    for (std::int32_t no : c.numbers) {
        store_.append(LogRowInput{no, "12:00:00", "DCV", "1.00000", "V", "", ""});
        QCoreApplication::processEvents();
        // Each logged row is shown as it comes.
        for (int r = 0; r < shownRows(); ++r)
            ASSERT_TRUE(shownWhole(r)) << "row " << r << " after logging " << no;
    }
    // And every row on its way back up.
    for (int offset = grid_.firstShownRow(); offset >= 0; --offset) {
        grid_.logScrollBar()->setValue(offset);
        for (int r = 0; r < shownRows(); ++r)
            ASSERT_TRUE(shownWhole(r)) << "row " << r << " at offset " << offset;
    }
    if (c.designWidthKept)
        EXPECT_EQ(grid_.columnWidth(0), 46);
    else
        EXPECT_GT(grid_.columnWidth(0), 46);
}

std::vector<std::int32_t> Run(std::int32_t first, int count)
{
    std::vector<std::int32_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(first + i);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, LogGridNumberColumn,
    ::testing::Values(NumberColumnCase{"ShortNumbersKeepTheDesignWidth", Run(1, 30), 1},
                      NumberColumnCase{"SevenDigitsFromTheLiveLog", Run(999990, 30), 0},
                      NumberColumnCase{"LargestRowNumber", Run(2147483647 - 29, 30), 0},
                      NumberColumnCase{"NegativeNumberFromAFile", {5, -2147483647 - 1, 6, 7}, 0},
                      // A long number scrolled out of view and back again.
                      NumberColumnCase{"LongNumberAboveShortOnes",
                                       [] {
                                           std::vector<std::int32_t> v{123456789};
                                           for (std::int32_t n : Run(1, 40))
                                               v.push_back(n);
                                           return v;
                                       }(),
                                       0}),
    [](const ::testing::TestParamInfo<NumberColumnCase>& info) { return std::string(info.param.name); });

TEST_F(LogGridTest, NumberColumnIsNotNarrowedAgain)
{
    store_.append(LogRowInput{12345678, "12:00:00", "DCV", "1", "V", "", ""});
    QCoreApplication::processEvents();
    const int grown = grid_.columnWidth(0);
    ASSERT_GT(grown, 46);
    // The user may widen it further; later short numbers leave it alone.
    grid_.setColumnWidth(0, grown + 30);
    store_.append(LogRowInput{1, "12:00:00", "DCV", "1", "V", "", ""});
    QCoreApplication::processEvents();
    EXPECT_EQ(grid_.columnWidth(0), grown + 30);
}

TEST_F(LogGridTest, AppendCostStaysFlatToAMillionRows)
{
    const double small = appendCostNs();
    append(1000000 - int(store_.size()));
    const double large = appendCostNs();
    EXPECT_EQ(grid_.verticalHeader()->count(), grid_.visibleRows());
    EXPECT_EQ(grid_.currentLogRow(), int(store_.size()) - 1);
    // A per-row cost that grew with the log (a header recalculation) is thousands of times
    // slower at a million rows; allow the noise of a shared machine.
    EXPECT_LT(large, 4.0 * small + 2000.0) << "ns per row: " << small << " at the start, " << large
                                           << " at a million rows";
}

} // namespace
} // namespace varnex
