#pragma once
// Writing one run of the journal to a file: ".xls", ".txt" and ".xml" (and any other name
// but ".csv") exactly as a save from the window writes the same rows; ".csv" the full
// record of each reading.
#include "app/journal/JournalDatabase.h"

#include <QString>

namespace varnex {

struct JournalExportResult {
    bool ok = false;
    QString finalName; // the name written to (".xls" appended as a save does)
    QString message;
    std::int64_t rows = 0;
};

JournalExportResult ExportRun(JournalDatabase& db, std::int64_t runId, const QString& name);

} // namespace varnex
