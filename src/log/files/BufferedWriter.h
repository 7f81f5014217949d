#pragma once
// Collects small writes in one fixed buffer and hands them to a device in big blocks, so a
// save of millions of rows costs one buffer of memory and no allocation per row.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <memory>

class QIODevice;

namespace varnex {

class BufferedWriter {
public:
    static constexpr std::size_t kDefaultCapacity = 1u << 20; // 1 MB

    explicit BufferedWriter(QIODevice& device, std::size_t capacity = kDefaultCapacity);
    ~BufferedWriter(); // flushes what is left; check ok() after flush() to see failures

    void put(char c)
    {
        if (used_ == capacity_)
            flush();
        buffer_[used_++] = c;
    }
    void write(std::string_view bytes);
    void writeDecimal(std::int64_t value);

    // Writes the buffer to the device. Returns false once any write has failed.
    bool flush();
    // flush(), and for a file also the file's own buffer, so that a full disk shows here.
    bool finish();
    bool ok() const { return ok_; }

private:
    QIODevice& device_;
    std::unique_ptr<char[]> buffer_; // not zeroed: only written bytes are read
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

} // namespace varnex
