#pragma once
// The grid DBGrid1: the log table cds1 read-only, one column per field, following the
// table's current row so each new row is selected and in view.
//
// A plain QTableView keeps header data for every row and recomputes row positions after
// each insert, so at millions of rows every logged row would cost time and memory in
// proportion to the log. The view is therefore given only a window of the log, the rows
// that fit in its viewport; our own vertical scroll bar spans the whole log and moves the
// window. Selection and the current row are kept as log rows and mapped into the window.
#include "app/LogGridWindow.h"

#include <QTableView>
#include <QTimer>

#include <algorithm>

class QScrollBar;

namespace varnex {

class LogTableModel;

class LogGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int RowHeight = 17; // fixed, so rows that fit = viewport height / 17

    explicit LogGrid(QWidget* parent = nullptr);

    void setLogModel(LogTableModel* model);
    LogTableModel* logModel() const { return window_->source(); }
    LogGridWindow* windowModel() const { return window_; }
    // The scroll bar over the whole log (the view's own vertical one stays hidden).
    QScrollBar* logScrollBar() const { return bar_; }

    // Selects the log row and scrolls it into view; -1 clears the selection.
    void followCurrentRow(int row);
    // The selected log row, -1 for none.
    int currentLogRow() const { return currentLogRow_; }
    // The first log row shown and how many whole rows the viewport holds.
    int firstShownRow() const { return window_->offset(); }
    int visibleRows() const { return std::max(1, viewport()->height() / RowHeight); }
    void scrollToLogRow(int row, ScrollHint hint = EnsureVisible);
    // Brings the scroll bar up to date now; logged rows move it only every so often.
    void syncScrollBar();
    // Hide QAbstractItemView's, which move the view's own (hidden) scroll bar.
    void scrollToTop() { scrollToLogRow(0, PositionAtTop); }
    void scrollToBottom() { scrollToLogRow(window_->sourceRows() - 1, PositionAtBottom); }

protected:
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void paintEvent(QPaintEvent* event) override
    {
        unpaintedScroll_ = false;
        QTableView::paintEvent(event);
    }
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    void fitWindowToViewport();
    // Widens the No column when a shown row number would not fit (never narrows it).
    void fitNumberColumn();
    void moveWindowTo(int row, ScrollHint hint);
    void showCurrentInWindow();
    void scrollPixels(int delta);

    LogGridWindow* window_ = nullptr;
    QScrollBar* bar_ = nullptr;
    int currentLogRow_ = -1;
    int fittedNumberChars_ = 0; // the longest row number the No column was sized for
    bool remapping_ = false;
    bool syncingBar_ = false;
    QTimer barTimer_;
    bool scrolledPixels_ = false; // the next window-wide dataChanged is already on screen
    bool unpaintedScroll_ = false; // pixels were moved and the viewport not painted since
    int wheelRemainder_ = 0;
};

} // namespace varnex
