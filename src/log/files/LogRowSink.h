#pragma once
// Where the file readers hand each row they read: the table itself, a side table, or a test.
#include "log/LogStore.h"

#include <functional>

namespace varnex {

// The row's views are valid only during the call.
using LogRowSink = std::function<void(const LogRowInput& row)>;

// A sink that appends to store.
inline LogRowSink AppendTo(LogStore& store)
{
    return [&store](const LogRowInput& row) { store.append(row); };
}

} // namespace varnex
