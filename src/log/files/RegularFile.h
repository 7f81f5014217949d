#pragma once
// Opens a log file for reading only when it is a regular file. A FIFO would block the open
// (and the program) until some writer came; /dev/zero or a terminal never end. Both are
// refused at once, without waiting.
class QFile;
class QString;

namespace varnex {

// Opens file (already named) read-only. False, with nothing open, when the name is no
// regular file or cannot be read.
bool OpenRegularFileForReading(QFile& file);

} // namespace varnex
