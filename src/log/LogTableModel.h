#pragma once
// The grid's view of the log table cds1: seven read-only columns in field order.
// The model follows the store through LogStoreObserver, so rows appended by anyone
// (the live log, a file load) reach the grid; one appended row costs one row insert.
#include <QAbstractTableModel>

#include "log/LogStore.h"
#include "log/LogStoreObserver.h"

namespace varnex {

class LogTableModel : public QAbstractTableModel, private LogStoreObserver {
    Q_OBJECT
public:
    // The stored text as it is, without the ohm sign shown for "*".
    static constexpr int StoredTextRole = Qt::UserRole;

    // Becomes the store's observer; the store must outlive the model.
    explicit LogTableModel(LogStore& store, QObject* parent = nullptr);
    ~LogTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Between these two the grid hears nothing of the store's changes; the outermost
    // endBulkChange() resets the model once. Calls nest. Use it around a file load or
    // save of many rows, with the grid's repainting suspended.
    void beginBulkChange();
    void endBulkChange();
    bool inBulkChange() const { return bulkDepth_ > 0; }

    // How a unit text is shown: "*" (the LCD font's ohm placeholder) as the ohm sign.
    static QString unitDisplayText(std::string_view storedUnit);

signals:
    // The store's current row moved (each logged row becomes current); -1 when empty.
    // The grid selects it and scrolls it into view.
    void currentRowChanged(int row);

private:
    void rowAboutToBeAppended(std::size_t index) override;
    void rowAppended(std::size_t index) override;
    void storeAboutToBeCleared() override;
    void storeCleared() override;
    void currentRowMoved(std::int64_t row) override;

    static int clampRow(std::int64_t row);

    LogStore& store_;
    // Rows the views have been told about; behind the store during a bulk change.
    int shownRows_ = 0;
    int bulkDepth_ = 0;
};

} // namespace varnex
