#pragma once
// Told about every row the log takes, with what the table itself cannot hold: the
// moment of arrival in UTC and the reading in SI units. The journal, the publisher and
// the trend view listen here; all calls come on the thread that logs.
#include <cstdint>

#include "log/LogStore.h"
#include "log/SiQuantity.h"

namespace varnex {

enum class RowSource {
    Meter, // logged by INDataToTable from a decoded frame
    Load,  // added by opening a log file (no date, no SI value of its own)
    Recovered, // put back from the journal at start
};

struct LoggedRow {
    LogRowInput row;          // the texts as the table stores them; valid during the call
    std::int64_t utcMs = 0;   // milliseconds since 1970-01-01T00:00:00Z; 0 when unknown
    SiQuantity si;
    RowSource source = RowSource::Meter;
};

class LoggedRowListener {
public:
    virtual ~LoggedRowListener() = default;
    virtual void rowLogged(const LoggedRow& row) = 0;
    // "Close Data" emptied the table (the rows stay wherever a listener keeps them).
    virtual void rowsCleared() {}
};

} // namespace varnex
