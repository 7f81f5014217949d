#include "app/journal/JournalExport.h"

#include "app/journal/Latin1Text.h"
#include "app/journal/ReadingsCsvWriter.h"
#include "log/LogStore.h"
#include "log/files/LogFileName.h"
#include "log/files/LogFileService.h"

#include <QSaveFile>

namespace varnex {

namespace {

JournalExportResult ExportCsv(JournalDatabase& db, std::int64_t runId, const QString& name)
{
    JournalExportResult result;
    result.finalName = name;
    QSaveFile file(name);
    file.setDirectWriteFallback(true);
    bool read = false;
    if (file.open(QIODevice::WriteOnly)) {
        ReadingsCsvWriter csv(file);
        read = db.readRun(runId, [&](const JournalRecord& r) {
            CsvReading c;
            c.utcMs = r.utcMs;
            c.no = r.no;
            c.function = r.function;
            c.value = r.value;
            c.unit = r.plainUnit;
            c.siValue = r.siValue;
            c.siUnit = r.siUnit;
            c.value2 = r.value2;
            c.unit2 = r.plainUnit2;
            csv.write(c);
            ++result.rows;
        });
        result.ok = read && csv.finish() && file.commit();
    }
    if (!result.ok)
        file.cancelWriting();
    result.message = result.ok ? QStringLiteral("%1 readings written to %2").arg(result.rows).arg(name)
                     : !read && file.isOpen() ? QStringLiteral("Could not read run %1: %2").arg(runId).arg(QString::fromStdString(db.error()))
                               : QStringLiteral("Could not write %1").arg(name);
    return result;
}

} // namespace

JournalExportResult ExportRun(JournalDatabase& db, std::int64_t runId, const QString& name)
{
    if (LowerExtension(name) == QLatin1String(".csv"))
        return ExportCsv(db, runId, name);
    // The rows as the table held them, then the window's own save.
    LogStore table;
    const bool read = db.readRun(runId, [&](const JournalRecord& r) {
        const std::string time = Utf8ToLatin1(r.time), function = Utf8ToLatin1(r.function),
                          value = Utf8ToLatin1(r.value), unit = Utf8ToLatin1(r.unit),
                          value2 = Utf8ToLatin1(r.value2), unit2 = Utf8ToLatin1(r.unit2);
        table.append(LogRowInput{r.no, time, function, value, unit, value2, unit2});
    });
    JournalExportResult result;
    if (!read) {
        result.message = QStringLiteral("Could not read run %1: %2").arg(runId).arg(QString::fromStdString(db.error()));
        return result;
    }
    const SaveResult saved = SaveTableToFile(table, name);
    result.ok = saved.ok;
    result.finalName = saved.finalName;
    result.message = saved.message;
    result.rows = std::int64_t(table.size());
    return result;
}

} // namespace varnex
