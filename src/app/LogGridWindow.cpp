#include "app/LogGridWindow.h"

#include "log/LogTableModel.h"

#include <algorithm>

namespace varnex {

void LogGridWindow::setSource(LogTableModel* source)
{
    beginResetModel();
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int) { sourceRowsInserted(first); });
        connect(source_, &QAbstractItemModel::modelAboutToBeReset, this, &LogGridWindow::sourceAboutToReset);
        connect(source_, &QAbstractItemModel::modelReset, this, &LogGridWindow::sourceReset);
        connect(source_, &QAbstractItemModel::dataChanged, this, &LogGridWindow::refreshShownRows);
        connect(source_, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
        // The log only appends and resets; anything else is taken as a reset.
        connect(source_, &QAbstractItemModel::rowsRemoved, this, &LogGridWindow::sourceReset);
        connect(source_, &QAbstractItemModel::rowsMoved, this, &LogGridWindow::sourceReset);
        connect(source_, &QAbstractItemModel::layoutChanged, this, &LogGridWindow::sourceReset);
    }
    offset_ = 0;
    shown_ = std::clamp(sourceRows(), 0, capacity_);
    endResetModel();
    emit windowChanged();
}

int LogGridWindow::sourceRows() const
{
    return source_ ? source_->rowCount() : 0;
}

int LogGridWindow::maxOffset() const
{
    return std::max(0, sourceRows() - capacity_);
}

void LogGridWindow::setCapacity(int rows)
{
    rows = std::max(1, rows);
    if (rows == capacity_)
        return;
    capacity_ = rows;
    offset_ = std::clamp(offset_, 0, maxOffset());
    matchShownRows();
    refreshShownRows();
    emit windowChanged();
}

void LogGridWindow::setOffset(int offset)
{
    offset = std::clamp(offset, 0, maxOffset());
    if (offset == offset_)
        return;
    emit aboutToMove(offset - offset_);
    offset_ = offset;
    matchShownRows();
    // Same rows of the window, other log rows in them: a repaint, no layout.
    refreshShownRows();
    emit windowChanged();
}

void LogGridWindow::matchShownRows()
{
    const int wanted = std::clamp(sourceRows() - offset_, 0, capacity_);
    if (wanted > shown_) {
        beginInsertRows(QModelIndex(), shown_, wanted - 1);
        shown_ = wanted;
        endInsertRows();
    } else if (wanted < shown_) {
        beginRemoveRows(QModelIndex(), wanted, shown_ - 1);
        shown_ = wanted;
        endRemoveRows();
    }
}

void LogGridWindow::refreshShownRows()
{
    if (shown_ > 0)
        emit dataChanged(index(0, 0), index(shown_ - 1, columnCount() - 1));
}

void LogGridWindow::sourceRowsInserted(int first)
{
    const int windowEnd = offset_ + shown_;
    matchShownRows();
    if (first < windowEnd)
        refreshShownRows();
    emit windowChanged();
}

void LogGridWindow::sourceAboutToReset()
{
    beginResetModel();
    resetting_ = true;
}

void LogGridWindow::sourceReset()
{
    if (!resetting_)
        beginResetModel();
    resetting_ = false;
    offset_ = std::clamp(offset_, 0, maxOffset());
    shown_ = std::clamp(sourceRows() - offset_, 0, capacity_);
    endResetModel();
    emit windowChanged();
}

int LogGridWindow::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !source_ ? 0 : source_->columnCount();
}

QVariant LogGridWindow::data(const QModelIndex& index, int role) const
{
    if (!source_ || !index.isValid() || index.row() >= shown_)
        return {};
    return source_->data(source_->index(offset_ + index.row(), index.column()), role);
}

QVariant LogGridWindow::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!source_)
        return {};
    return source_->headerData(orientation == Qt::Vertical ? offset_ + section : section, orientation, role);
}

Qt::ItemFlags LogGridWindow::flags(const QModelIndex& index) const
{
    if (!source_ || !index.isValid())
        return Qt::NoItemFlags;
    return source_->flags(source_->index(offset_ + index.row(), index.column()));
}

} // namespace varnex
