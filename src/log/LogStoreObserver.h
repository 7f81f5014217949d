#pragma once
// Told about every change of a LogStore, so that a view model can follow the table
// without polling it. All calls come on the thread that changes the store.
#include <cstddef>
#include <cstdint>

namespace varnex {

class LogStoreObserver {
public:
    virtual ~LogStoreObserver() = default;
    // A row is about to be appended at `index` (== the store's size before the append).
    virtual void rowAboutToBeAppended(std::size_t index) = 0;
    // The row at `index` is stored and can be read.
    virtual void rowAppended(std::size_t index) = 0;
    virtual void storeAboutToBeCleared() = 0;
    virtual void storeCleared() = 0;
    // The current row moved (also when a row is appended); -1 when the table is empty.
    virtual void currentRowMoved(std::int64_t row) = 0;
};

} // namespace varnex
