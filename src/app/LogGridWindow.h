#pragma once
// The grid's viewport model: a window of the log model, the rows that fit in the grid's
// viewport, shown as rows 0.. of a table. The grid moves the window; the view itself only
// ever holds these few rows, so its cost does not grow with the log.
#include <QAbstractTableModel>

namespace varnex {

class LogTableModel;

// Rows [offset, offset + capacity) of the log model, shown as rows 0.. of a table.
class LogGridWindow : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LogGridWindow(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setSource(LogTableModel* source);
    LogTableModel* source() const { return source_; }
    int sourceRows() const;
    int capacity() const { return capacity_; }
    // Rows the window may hold (at least 1); the offset is clamped again.
    void setCapacity(int rows);
    int offset() const { return offset_; }
    // Moves the window, kept within [0, maxOffset()].
    void setOffset(int offset);
    // The offset that shows the last log row in the window's last row.
    int maxOffset() const;
    // The window row of a log row, -1 when it is outside the window.
    int toWindowRow(int logRow) const
    {
        return logRow >= offset_ && logRow - offset_ < shown_ ? logRow - offset_ : -1;
    }
    int toLogRow(int windowRow) const { return offset_ + windowRow; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : shown_; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The window is about to move by `delta` rows; a view may scroll its pixels now and
    // then repaint only the rows that came in.
    void aboutToMove(int delta);
    // The log's row count changed or the window moved; views have already heard of it.
    void windowChanged();

private:
    void sourceRowsInserted(int first);
    void sourceAboutToReset();
    void sourceReset();
    // Tells the views of rows added or removed at the window's end.
    void matchShownRows();
    void refreshShownRows();

    LogTableModel* source_ = nullptr;
    int capacity_ = 1;
    int offset_ = 0;
    int shown_ = 0; // rows the views were told about
    bool resetting_ = false;
};

} // namespace varnex
