#pragma once
// Saving the log table to a file and loading it back, with the messages the user sees.
// The caller (the window, the command line) shows the message; these functions only decide.
// Neither touches the record numbering, the logged-row count or the chart.
#include "log/LogStore.h"

#include <QString>

#include <atomic>

namespace varnex {

enum class MessageIcon { Information, Error };

struct SaveResult {
    bool ok = false;
    QString finalName;  // the name written to: ".xls" appended unless .xml/.xls/.txt
    QString message;    // "Save table to specified file: <name> Scuss!" or "Could not save ..."
    MessageIcon icon = MessageIcon::Information;
};

struct LoadResult {
    bool ok = false;
    QString message; // empty on success, "Failed to Load File!" otherwise
    MessageIcon icon = MessageIcon::Information;
};

inline const QString kLoadFailedMessage = QStringLiteral("Failed to Load File!");
// Added below "Could not save ..." when the file could be written but its folder takes no
// new file: a save is written aside first and never over the old file in place.
inline const QString kFolderRefusesNewFileNote =
    QStringLiteral("The folder does not allow a new file, so the existing file was left unchanged.");

// Writes the table in the form its name picks (".xml" any case: XML data packet; anything
// else: tab-separated text). The file is replaced only when the whole content was written,
// so a failing save never destroys an earlier file. After a text save the current row is
// the last row.
SaveResult SaveTableToFile(LogStore& store, const QString& name);

// How far a load has come, for a progress bar on another thread.
struct LoadProgress {
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> bytesTotal{0}; // the file's size once it is open
};

// ".xml": the packet's rows replace the table's rows; a packet that fails leaves the table
// as it was. Any other name: the text file's rows are appended; on a failing line the rows
// of earlier lines stay. Only regular files are read. progress, when given, follows the
// read every few thousand rows.
LoadResult LoadTableFromFile(const QString& name, LogStore& store, LoadProgress* progress = nullptr);

} // namespace varnex
