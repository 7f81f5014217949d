#pragma once
// Reads a device as text lines without holding the whole file: a line ends at CR LF, at LF
// or at CR, and a last line without an ending still counts. A line longer than the limit
// (a file with no line end: a sparse file, a device) fails the read instead of growing
// without bound.
#include <cstddef>
#include <string_view>
#include <vector>

class QIODevice;

namespace varnex {

class LineReader {
public:
    static constexpr std::size_t kChunk = 1u << 20;       // 1 MB per device read
    static constexpr std::size_t kMaxLineBytes = 64u << 10; // far beyond seven fields

    explicit LineReader(QIODevice& device, std::size_t chunk = kChunk, std::size_t maxLine = kMaxLineBytes);

    // The next line without its ending; false at the end of the data, on a read error or
    // on a line longer than maxLine (see failed()). The view stays valid until the next call.
    bool next(std::string_view& line);
    bool failed() const { return failed_; }

private:
    bool fill(); // reads more bytes behind the unread ones; false when none came

    QIODevice& device_;
    std::size_t chunk_;
    std::size_t maxLine_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // first unread byte
    std::size_t end_ = 0;   // one past the last byte read
    bool atEnd_ = false;
    bool failed_ = false;
};

} // namespace varnex
