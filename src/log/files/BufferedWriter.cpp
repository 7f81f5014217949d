#include "log/files/BufferedWriter.h"

#include <QFileDevice>
#include <QIODevice>

#include <charconv>
#include <algorithm>
#include <cstring>

namespace varnex {

BufferedWriter::BufferedWriter(QIODevice& device, std::size_t capacity)
    : device_(device), buffer_(new char[capacity > 0 ? capacity : 1]), capacity_(capacity > 0 ? capacity : 1)
{
}

BufferedWriter::~BufferedWriter()
{
    flush();
}

void BufferedWriter::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (used_ == capacity_)
            flush();
        const std::size_t n = std::min(bytes.size(), capacity_ - used_);
        std::memcpy(buffer_.get() + used_, bytes.data(), n);
        used_ += n;
        bytes.remove_prefix(n);
    }
}

void BufferedWriter::writeDecimal(std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    write(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

bool BufferedWriter::flush()
{
    if (used_ > 0) {
        // After a failure the rest is dropped: the save is lost anyway, and the buffer must
        // keep accepting bytes without growing.
        if (ok_ && device_.write(buffer_.get(), static_cast<qint64>(used_)) != static_cast<qint64>(used_))
            ok_ = false;
        used_ = 0;
    }
    return ok_;
}

} // namespace varnex

namespace varnex {

bool BufferedWriter::finish()
{
    if (!flush())
        return false;
    if (auto* file = qobject_cast<QFileDevice*>(&device_); file && !file->flush())
        ok_ = false;
    return ok_;
}

} // namespace varnex
