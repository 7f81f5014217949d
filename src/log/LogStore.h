#pragma once
// The log table cds1: rows in insertion order with a current row, held compactly so
// that ten million rows fit in well under 1 GB. Texts are 8-bit characters (Latin-1),
// cut to their first 20 characters when stored. No key, no index, No not unique.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "log/LogStoreObserver.h"

namespace varnex {

enum class LogField { No = 0, Time, Function, Value, Unit, Value2, Unit2 };
constexpr int LogFieldCount = 7;
constexpr std::size_t LogTextWidth = 20;
const char* LogFieldName(LogField f); // "No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"

// One row as read back; the views stay valid until the store is next modified.
// (In practice they stay valid until clear(): stored texts never move.)
struct LogRowView {
    std::int32_t No = 0;
    std::string_view Time, Function, Value, Unit, Value2, Unit2;
    std::string_view text(LogField f) const; // No -> empty view
};

// One row to store; texts longer than LogTextWidth are cut.
struct LogRowInput {
    std::int32_t No = 0;
    std::string_view Time, Function, Value, Unit, Value2, Unit2;
};

class LogStore {
public:
    LogStore();
    ~LogStore();
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;

    // Appends at the end, O(1) amortised; the new row becomes the current row.
    void append(const LogRowInput& row);
    std::size_t size() const;
    bool empty() const { return size() == 0; }
    LogRowView row(std::size_t index) const; // O(1)
    void clear();                            // empties the table; current row none
    // Index of the current row, or -1 when the table is empty.
    std::int64_t currentRow() const;
    void setCurrentRow(std::int64_t index);
    // Bytes held by the store (for the memory budget and benchmarks).
    std::size_t memoryBytes() const;
    // Makes room for n rows without reallocating during a load.
    void reserve(std::size_t rows);
    // Exchanges all rows (and the current row) with other in O(1); each store keeps its
    // own observer, which is told as for a clear followed by a wholesale change, so a
    // view model should be in a bulk change around it.
    void swapRows(LogStore& other);

    // The one observer told about appends, clears and current-row moves (the grid's
    // model); nullptr detaches it. The store does not own it.
    void setObserver(LogStoreObserver* observer);
    LogStoreObserver* observer() const;
    // Number of distinct non-empty texts held (for the memory figures).
    std::size_t distinctTexts() const;

private:
    struct Impl;
    Impl* d;
};

} // namespace varnex
