#pragma once
// Writes every logged row as one tab-separated line the moment it is logged, flushed, so
// `| tee` and `| grep` follow a recording live:
//   No  ISO-8601-UTC-time  Time  Function  Value  Unit  Value2  Unit2
// with the units in plain text ("kΩ", "kHz").
#include "log/LoggedRowListener.h"

#include <cstdio>
#include <string>

namespace varnex {

class RowLinePrinter final : public LoggedRowListener {
public:
    explicit RowLinePrinter(std::FILE* out) : out_(out) {}
    void rowLogged(const LoggedRow& row) override;

    // The line for one row, without the line end.
    static std::string LineOf(const LoggedRow& row);

private:
    std::FILE* out_;
};

} // namespace varnex
