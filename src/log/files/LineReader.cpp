#include "log/files/LineReader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace varnex {

LineReader::LineReader(QIODevice& device, std::size_t chunk, std::size_t maxLine)
    : device_(device), chunk_(chunk > 0 ? chunk : 1), maxLine_(maxLine)
{
}

bool LineReader::fill()
{
    if (atEnd_)
        return false;
    // Keep the unread bytes (a line cut by the chunk border) at the front.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    // A small file needs no full chunk: read what it holds (and one byte to see its end).
    std::size_t want = chunk_;
    if (!device_.isSequential())
        want = static_cast<std::size_t>(std::clamp<qint64>(device_.bytesAvailable() + 1, 1, static_cast<qint64>(chunk_)));
    if (buffer_.size() < end_ + want)
        buffer_.resize(end_ + want);
    const qint64 got = device_.read(buffer_.data() + end_, static_cast<qint64>(want));
    if (got < 0) {
        failed_ = true;
        atEnd_ = true;
        return false;
    }
    if (got == 0) {
        atEnd_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

bool LineReader::next(std::string_view& line)
{
    std::size_t scanFrom = begin_;
    for (;;) {
        for (std::size_t i = scanFrom; i < end_; ++i) {
            const char c = buffer_[i];
            if (c != '\n' && c != '\r')
                continue;
            if (c == '\r' && i + 1 == end_ && !atEnd_) {
                // A CR at the end of what we have may be the first half of CR LF.
                const std::size_t offset = i - begin_;
                fill();
                if (failed_)
                    return false;
                i = begin_ + offset;
            }
            if (i - begin_ > maxLine_) {
                failed_ = true;
                return false;
            }
            line = std::string_view(buffer_.data() + begin_, i - begin_);
            std::size_t after = i + 1;
            if (c == '\r' && after < end_ && buffer_[after] == '\n')
                ++after;
            begin_ = after;
            return true;
        }
        const std::size_t scanned = end_ - begin_;
        if (scanned > maxLine_) {
            failed_ = true;
            return false;
        }
        if (!fill()) {
            if (failed_ || begin_ == end_)
                return false;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            return true;
        }
        scanFrom = begin_ + scanned;
    }
}

} // namespace varnex
