#include "log/files/LogFileService.h"

#include "log/files/LogFileName.h"
#include "log/files/RegularFile.h"
#include "log/files/TextLogFormat.h"
#include "log/files/XmlLogFormat.h"

#include <QFile>
#include <QSaveFile>

namespace varnex {

namespace {

// The content goes to a temporary file beside the target, which then takes the target's
// name: a save that fails half-way (a full disk) leaves an earlier file byte for byte.
// There is deliberately no fallback to writing in place where the folder refuses the
// temporary file: on a full disk that would leave the old file cut off.
enum class WriteOutcome { Written, Failed, FolderRefusesNewFile };

WriteOutcome WriteWholeFile(const QString& name, const LogStore& store, LogFileForm form)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) {
        // The old file may be writable while its folder is not: then nothing was touched.
        QFile existing(name);
        if (existing.exists() && existing.open(QIODevice::WriteOnly | QIODevice::Append))
            return WriteOutcome::FolderRefusesNewFile;
        return WriteOutcome::Failed;
    }
    const bool written = form == LogFileForm::Xml ? WriteXmlLog(file, store) : WriteTextLog(file, store);
    if (!written) {
        file.cancelWriting();
        return WriteOutcome::Failed;
    }
    return file.commit() ? WriteOutcome::Written : WriteOutcome::Failed;
}

void CopyRows(const LogStore& from, LogStore& to)
{
    to.reserve(from.size());
    for (std::size_t i = 0; i < from.size(); ++i) {
        const LogRowView r = from.row(i);
        to.append(LogRowInput{r.No, r.Time, r.Function, r.Value, r.Unit, r.Value2, r.Unit2});
    }
}

} // namespace

SaveResult SaveTableToFile(LogStore& store, const QString& name)
{
    SaveResult result;
    result.finalName = SaveNameFor(name);
    const LogFileForm form = FormForName(name);
    if (form == LogFileForm::Text && !store.empty())
        store.setCurrentRow(static_cast<std::int64_t>(store.size()) - 1);

    const WriteOutcome outcome = WriteWholeFile(result.finalName, store, form);
    result.ok = outcome == WriteOutcome::Written;
    if (result.ok)
        result.message = QStringLiteral("Save table to specified file: ") + result.finalName + QStringLiteral(" Scuss!");
    else
        result.message = QStringLiteral("Could not save table to specified file: ") + result.finalName;
    if (outcome == WriteOutcome::FolderRefusesNewFile)
        result.message += QLatin1Char('\n') + kFolderRefusesNewFileNote;
    return result;
}

LoadResult LoadTableFromFile(const QString& name, LogStore& store, LoadProgress* progress)
{
    LoadResult result;
    QFile file(name);
    if (OpenRegularFileForReading(file)) {
        // Rows go to the table, and every 4096 rows the position goes to progress.
        const auto sinkInto = [&file, progress](LogStore& into) -> LogRowSink {
            if (!progress)
                return AppendTo(into);
            progress->bytesTotal = file.size();
            return [&file, progress, &into, rows = std::size_t(0)](const LogRowInput& row) mutable {
                into.append(row);
                if ((++rows & 4095) == 0)
                    progress->bytesRead = file.pos();
            };
        };
        if (FormForName(name) == LogFileForm::Xml) {
            if (store.empty()) {
                // Nothing to keep: read straight in, and empty it again on failure.
                result.ok = ReadXmlLog(file, sinkInto(store), [&store] { store.clear(); });
                if (!result.ok)
                    store.clear();
            } else {
                // Read aside first: a packet that breaks half-way leaves the table untouched.
                LogStore incoming;
                if (ReadXmlLog(file, sinkInto(incoming), [&incoming] { incoming.clear(); })) {
                    store.clear();
                    CopyRows(incoming, store);
                    result.ok = true;
                }
            }
        } else {
            result.ok = ReadTextLog(file, sinkInto(store));
        }
        if (progress)
            progress->bytesRead = progress->bytesTotal.load();
    }
    if (!result.ok)
        result.message = kLoadFailedMessage;
    return result;
}

} // namespace varnex
