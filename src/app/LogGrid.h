#pragma once
// The grid DBGrid1: the log table cds1 read-only, one column per field, following the
// table's current row so each new row is selected and in view.
#include <QTableView>

namespace varnex {

class LogTableModel;

class LogGrid : public QTableView {
    Q_OBJECT
public:
    explicit LogGrid(QWidget* parent = nullptr);

    void setLogModel(LogTableModel* model);
    // Selects the row and scrolls it into view.
    void followCurrentRow(int row);
};

} // namespace varnex
