// How the grid scrolls: its own scroll bar over the whole log, the wheel, keys that move
// the window, and moving the pixels of the rows that stay on screen.
#include "app/LogGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace varnex {
namespace {
constexpr int kWheelNotch = 120; // angleDelta of one wheel step
} // namespace

void LogGrid::scrollToLogRow(int row, ScrollHint hint)
{
    moveWindowTo(row, hint);
    syncScrollBar();
}

void LogGrid::moveWindowTo(int row, ScrollHint hint)
{
    if (row < 0 || row >= window_->sourceRows())
        return;
    const int rows = window_->capacity();
    int offset = window_->offset();
    switch (hint) {
    case PositionAtTop:
        offset = row;
        break;
    case PositionAtBottom:
        offset = row - rows + 1;
        break;
    case PositionAtCenter:
        offset = row - rows / 2;
        break;
    case EnsureVisible:
        if (row < offset)
            offset = row;
        else if (row >= offset + rows)
            offset = row - rows + 1;
        break;
    }
    window_->setOffset(offset);
}

void LogGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != window_) {
        QTableView::scrollTo(index, hint);
        return;
    }
    const int logRow = window_->toLogRow(index.row());
    moveWindowTo(logRow, hint);
    if (!remapping_) // a click or a key, not the grid following a logged row
        syncScrollBar();
    // Every window row fits in the viewport, so the view itself only scrolls sideways.
    const int row = window_->toWindowRow(logRow);
    if (row >= 0)
        QTableView::scrollTo(window_->index(row, index.column()), hint);
}

void LogGrid::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    if (delta.y() == 0 || std::abs(delta.x()) > std::abs(delta.y())) {
        QTableView::wheelEvent(event);
        return;
    }
    // Whole notches move the window; the rest of a fine-grained wheel is kept for later.
    wheelRemainder_ += delta.y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0) {
        window_->setOffset(window_->offset() - notches * QApplication::wheelScrollLines());
        syncScrollBar();
    }
    event->accept();
}

void LogGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitWindowToViewport();
}

void LogGrid::updateGeometries()
{
    QTableView::updateGeometries();
    fitWindowToViewport();
}

void LogGrid::scrollPixels(int delta)
{
    // As a plain table view scrolls: move the pixels of the rows that stay on screen and
    // paint only the rows that come in, so following the log repaints one row per frame.
    // Rows logged faster than the grid paints: one whole repaint, not a pixel move per row.
    const int rows = window_->rowCount();
    if (delta == 0 || std::abs(delta) >= rows || unpaintedScroll_ || !viewport()->isVisible()
        || !viewport()->updatesEnabled())
        return;
    const int height = verticalHeader()->defaultSectionSize();
    const int width = viewport()->width();
    viewport()->scroll(0, -delta * height);
    // Below the last row (blank, but pixels of rows may have moved there) and the rows that
    // came in at the bottom; Qt repaints the strip that came in at the top itself.
    const int rowsEnd = rowViewportPosition(rows - 1) + height;
    QRegion stale(0, rowsEnd, width, viewport()->height() - rowsEnd);
    if (delta > 0)
        stale += QRect(0, rowViewportPosition(rows - delta), width, delta * height);
    // The highlight moved with the pixels; the selection is mapped again afterwards.
    const QModelIndex current = selectionModel() ? selectionModel()->currentIndex() : QModelIndex();
    if (current.isValid() && current.row() - delta >= 0 && current.row() - delta < rows)
        stale += QRect(0, rowViewportPosition(current.row() - delta), width, height);
    viewport()->update(stale);
    scrolledPixels_ = unpaintedScroll_ = true;
}

void LogGrid::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    if (scrolledPixels_) {
        scrolledPixels_ = false;
        return;
    }
    QTableView::dataChanged(topLeft, bottomRight, roles);
}

void LogGrid::fitWindowToViewport()
{
    if (!bar_) // the base class lays out before our constructor has run
        return;
    window_->setCapacity(visibleRows());
    syncScrollBar();
}

void LogGrid::syncScrollBar()
{
    if (!bar_)
        return;
    barTimer_.stop();
    // The window is the truth here: the bar's own value changes must not move it back.
    syncingBar_ = true;
    bar_->setRange(0, window_->maxOffset());
    bar_->setPageStep(window_->capacity());
    bar_->setValue(window_->offset());
    syncingBar_ = false;
}

} // namespace varnex
