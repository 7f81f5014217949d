#include "log/LogTableModel.h"

#include <climits>

namespace varnex {

namespace {

constexpr QChar OhmSign(0x03A9);

LogField fieldOf(int column)
{
    return static_cast<LogField>(column);
}

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LogTableModel::LogTableModel(LogStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store), shownRows_(clampRow(store.size()))
{
    store_.setObserver(this);
}

LogTableModel::~LogTableModel()
{
    if (store_.observer() == this)
        store_.setObserver(nullptr);
}

int LogTableModel::clampRow(std::int64_t row)
{
    return row > INT_MAX ? INT_MAX : static_cast<int>(row);
}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : LogFieldCount;
}

QString LogTableModel::unitDisplayText(std::string_view storedUnit)
{
    QString shown = latin1(storedUnit);
    shown.replace(QLatin1Char('*'), OhmSign);
    return shown;
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LogField field = fieldOf(index.column());
    if (role == Qt::TextAlignmentRole) {
        switch (field) {
        case LogField::Time:
        case LogField::Function:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case LogField::Value:
        case LogField::Unit:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        default:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
    }
    if (role != Qt::DisplayRole && role != StoredTextRole)
        return {};
    // During a bulk change the store may hold fewer rows than the grid was last told.
    if (static_cast<std::size_t>(index.row()) >= store_.size())
        return {};
    const LogRowView row = store_.row(static_cast<std::size_t>(index.row()));
    if (field == LogField::No)
        return QString::number(row.No);
    const std::string_view text = row.text(field);
    if (role == Qt::DisplayRole && (field == LogField::Unit || field == LogField::Unit2))
        return unitDisplayText(text);
    return latin1(text);
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < LogFieldCount)
        return QString::fromLatin1(LogFieldName(fieldOf(section)));
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags LogTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void LogTableModel::beginBulkChange()
{
    ++bulkDepth_;
}

void LogTableModel::endBulkChange()
{
    if (bulkDepth_ == 0 || --bulkDepth_ > 0)
        return;
    beginResetModel();
    shownRows_ = clampRow(static_cast<std::int64_t>(store_.size()));
    endResetModel();
    emit currentRowChanged(clampRow(store_.currentRow()));
}

void LogTableModel::rowAboutToBeAppended(std::size_t index)
{
    if (bulkDepth_ > 0 || index > static_cast<std::size_t>(INT_MAX - 1))
        return;
    const int row = static_cast<int>(index);
    beginInsertRows(QModelIndex(), row, row);
}

void LogTableModel::rowAppended(std::size_t index)
{
    if (bulkDepth_ > 0 || index > static_cast<std::size_t>(INT_MAX - 1))
        return;
    shownRows_ = static_cast<int>(index) + 1;
    endInsertRows();
}

void LogTableModel::storeAboutToBeCleared()
{
    if (bulkDepth_ == 0)
        beginResetModel();
}

void LogTableModel::storeCleared()
{
    if (bulkDepth_ > 0)
        return;
    shownRows_ = 0;
    endResetModel();
}

void LogTableModel::currentRowMoved(std::int64_t row)
{
    if (bulkDepth_ == 0)
        emit currentRowChanged(clampRow(row));
}

} // namespace varnex
