#include "app/LogGrid.h"

#include "log/LogStore.h"
#include "log/LogTableModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>

namespace varnex {

LogGrid::LogGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName("DBGrid1");
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(17);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
}

void LogGrid::setLogModel(LogTableModel* model)
{
    setModel(model);
    const int widths[] = {46, 64, 62, 70, 42, 56, 44};
    for (int c = 0; c < LogFieldCount; ++c)
        setColumnWidth(c, widths[c]);
    connect(model, &LogTableModel::currentRowChanged, this, &LogGrid::followCurrentRow);
}

void LogGrid::followCurrentRow(int row)
{
    if (row < 0 || !model())
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

} // namespace varnex
