#pragma once
// Reads another device's Latin-1 bytes as UTF-8, for XML packets written in 8-bit text with
// no encoding declared (an XML reader takes such a packet as UTF-8 and stumbles on the
// first byte from 0x80 on).
#include <QIODevice>

#include <vector>

namespace varnex {

class Latin1AsUtf8Device final : public QIODevice {
public:
    explicit Latin1AsUtf8Device(QIODevice& source);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    std::vector<char> chunk_;
    int pending_ = -1; // second byte of a character that did not fit the last read
};

// True when the device's bytes from its position on are not valid UTF-8. Reads the device
// to its end, or only limit bytes when limit is not negative (a character cut off by the
// limit does not count); the caller seeks back.
bool HoldsInvalidUtf8(QIODevice& device, qint64 limit = -1);

} // namespace varnex
