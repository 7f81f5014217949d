#include "app/LogGrid.h"

#include "log/LogTableModel.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace varnex {
namespace {
constexpr int kWheelNotch = 120; // angleDelta of one wheel step
constexpr int kMaxCachedTexts = 4096;
// Logged rows move the scroll bar at most this often: repainting the bar for every row was
// most of a row's paint, and a thumb a few rows behind for a tenth of a second is not seen.
constexpr int kScrollBarLagMs = 100;

// Draws a cell from a cache of laid-out texts. The default delegate lays every cell's text
// out again at each paint, most of a repaint's cost; here a row's texts are laid out once
// and reused while the row stays on screen (each logged row is repainted as it scrolls by).
class LogCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (option.state & QStyle::State_Active)                                ? QPalette::Active
                                                                                   : QPalette::Inactive;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = option.palette.color(QPalette::Highlight);
            (option.widget ? option.widget->style() : QApplication::style())
                ->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            return;
        const QVariant alignment = index.data(Qt::TextAlignmentRole);
        const Qt::Alignment align = alignment.isValid() ? alignment.value<Qt::Alignment>()
                                                        : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
        const QRect box = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const QStaticText& laid = laidOut(text, option.font);
        const QSizeF size = laid.size();
        if (size.width() > box.width()) {
            // A column narrowed below its text: cut with an ellipsis as the default does.
            painter->save();
            painter->setClipRect(option.rect);
            painter->drawText(box, int(align) | Qt::TextSingleLine,
                              option.fontMetrics.elidedText(text, Qt::ElideRight, box.width()));
            painter->restore();
            return;
        }
        qreal x = box.left();
        if (align & Qt::AlignRight)
            x = box.right() + 1 - size.width();
        else if (align & Qt::AlignHCenter)
            x = box.left() + (box.width() - size.width()) / 2;
        const qreal y = box.top() + (box.height() - size.height()) / 2;
        painter->drawStaticText(QPointF(x, y), laid);
    }

private:
    static constexpr int kTextMargin = 3;

    const QStaticText& laidOut(const QString& text, const QFont& font) const
    {
        if (font != font_ || cache_.size() >= kMaxCachedTexts) {
            cache_.clear();
            font_ = font;
        }
        auto it = cache_.find(text);
        if (it == cache_.end()) {
            QStaticText laid(text);
            laid.setTextFormat(Qt::PlainText);
            laid.setPerformanceHint(QStaticText::AggressiveCaching);
            laid.prepare(QTransform(), font);
            it = cache_.insert(text, laid);
        }
        return *it;
    }

    mutable QHash<QString, QStaticText> cache_;
    mutable QFont font_;
};
} // namespace

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
    if (model) {
        connect(model, &LogTableModel::currentRowChanged, this, &LogGrid::followCurrentRow);
        // A load or a clear moves the bar at once; after the window has heard of it.
        connect(model, &QAbstractItemModel::modelReset, this, &LogGrid::syncScrollBar);
    }
    fitWindowToViewport();
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
