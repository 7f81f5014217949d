// The grid itself: its look, the log model, and the current row kept as a log row and
// mapped into the window. Scrolling is in LogGridScrolling.cpp, the cells' painting in
// LogCellDelegate, the window of rows in LogGridWindow.
#include "app/LogGrid.h"

#include "app/LogCellDelegate.h"
#include "log/LogTableModel.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>
#include <utility>

namespace varnex {
namespace {
// Logged rows move the scroll bar at most this often: repainting the bar for every row was
// most of a row's paint, and a thumb a few rows behind for a tenth of a second is not seen.
constexpr int kScrollBarLagMs = 100;
} // namespace

LogGrid::LogGrid(QWidget* parent) : QTableView(parent), window_(new LogGridWindow(this))
{
    setObjectName("DBGrid1");
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);

    // The view's own bar only ever spans the window; ours spans the log and takes its place.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->hide();
    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setObjectName("LogScrollBar");
    bar_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    bar_->setSingleStep(1);
    addScrollBarWidget(bar_, Qt::AlignTop);
    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingBar_)
            window_->setOffset(value);
    });
    barTimer_.setSingleShot(true);
    barTimer_.setInterval(kScrollBarLagMs);
    connect(&barTimer_, &QTimer::timeout, this, &LogGrid::syncScrollBar);
    connect(window_, &LogGridWindow::aboutToMove, this, &LogGrid::scrollPixels);
    connect(window_, &LogGridWindow::windowChanged, this, [this] {
        scrolledPixels_ = false;
        if (!barTimer_.isActive())
            barTimer_.start();
        showCurrentInWindow();
        fitNumberColumn();
    });
    setItemDelegate(new LogCellDelegate(this));
    setModel(window_);
}

void LogGrid::setLogModel(LogTableModel* model)
{
    if (LogTableModel* old = window_->source())
        disconnect(old, nullptr, this, nullptr);
    currentLogRow_ = -1;
    window_->setSource(model);
    const int widths[] = {46, 64, 62, 70, 42, 56, 44};
    for (int c = 0; c < LogFieldCount; ++c)
        setColumnWidth(c, widths[c]);
    fittedNumberChars_ = 0;
    if (model) {
        connect(model, &LogTableModel::currentRowChanged, this, &LogGrid::followCurrentRow);
        // A load or a clear moves the bar at once; after the window has heard of it.
        connect(model, &QAbstractItemModel::modelReset, this, &LogGrid::syncScrollBar);
    }
    fitWindowToViewport();
    fitNumberColumn();
}

void LogGrid::fitNumberColumn()
{
    // Row numbers run to ten digits and a sign; the design's 46 pixels hold six. Only a
    // number longer than any seen so far is measured, so following the log costs a few
    // text lengths per row.
    const int column = int(LogField::No);
    QString longest;
    for (int r = 0; r < window_->rowCount(); ++r) {
        QString text = window_->data(window_->index(r, column)).toString();
        if (text.size() > longest.size())
            longest = std::move(text);
    }
    if (longest.size() <= fittedNumberChars_)
        return;
    fittedNumberChars_ = int(longest.size());
    const int grid = showGrid() ? 1 : 0;
    const int needed = qCeil(QFontMetricsF(font()).horizontalAdvance(longest)) + 2 * LogCellDelegate::kTextMargin
                       + grid + 1;
    if (columnWidth(column) < needed)
        setColumnWidth(column, needed);
}

void LogGrid::followCurrentRow(int row)
{
    currentLogRow_ = row;
    if (row < 0) {
        if (selectionModel())
            selectionModel()->clear();
        return;
    }
    moveWindowTo(row, EnsureVisible);
    showCurrentInWindow();
}

QModelIndex LogGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int rows = window_->sourceRows();
    if (rows == 0)
        return QTableView::moveCursor(action, modifiers);
    const int from = currentLogRow_ >= 0 ? std::min(currentLogRow_, rows - 1) : window_->offset();
    int to = from;
    switch (action) {
    case MoveUp:
        to = from - 1;
        break;
    case MoveDown:
        to = from + 1;
        break;
    case MovePageUp:
        to = from - visibleRows();
        break;
    case MovePageDown:
        to = from + visibleRows();
        break;
    case MoveHome:
        to = 0;
        break;
    case MoveEnd:
        to = rows - 1;
        break;
    default: // left, right, tab: within the row, the view's own rules
        return QTableView::moveCursor(action, modifiers);
    }
    to = std::clamp(to, 0, rows - 1);
    scrollToLogRow(to, EnsureVisible);
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return window_->index(window_->toWindowRow(to), column);
}

void LogGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!remapping_ && current.isValid() && current.model() == window_)
        currentLogRow_ = window_->toLogRow(current.row());
}

void LogGrid::showCurrentInWindow()
{
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    remapping_ = true;
    const int row = window_->toWindowRow(currentLogRow_);
    if (row >= 0) {
        const int column = selection->currentIndex().isValid() ? selection->currentIndex().column() : 0;
        const QModelIndex index = window_->index(row, column);
        if (selection->currentIndex() != index || !selection->isRowSelected(row, QModelIndex()))
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (selection->hasSelection() || selection->currentIndex().isValid()) {
        selection->clear();
    }
    remapping_ = false;
}

} // namespace varnex
