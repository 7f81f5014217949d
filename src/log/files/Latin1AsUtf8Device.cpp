#include "log/files/Latin1AsUtf8Device.h"

#include <QStringDecoder>

#include <algorithm>

namespace varnex {

namespace {
constexpr qint64 kChunk = 64 * 1024;
}

Latin1AsUtf8Device::Latin1AsUtf8Device(QIODevice& source) : source_(source), chunk_(kChunk)
{
    setOpenMode(QIODevice::ReadOnly);
}

qint64 Latin1AsUtf8Device::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + source_.bytesAvailable() + (pending_ >= 0 ? 1 : 0);
}

qint64 Latin1AsUtf8Device::readData(char* data, qint64 maxSize)
{
    qint64 written = 0;
    if (pending_ >= 0 && maxSize > 0) {
        data[written++] = static_cast<char>(pending_);
        pending_ = -1;
    }
    while (written < maxSize) {
        // Each byte becomes at most two, so half the room always fits (but read at least one).
        const qint64 want = std::min<qint64>(std::max<qint64>(1, (maxSize - written) / 2), kChunk);
        const qint64 got = source_.read(chunk_.data(), want);
        if (got < 0)
            return written > 0 ? written : -1;
        if (got == 0)
            break;
        for (qint64 i = 0; i < got; ++i) {
            const auto byte = static_cast<unsigned char>(chunk_[static_cast<std::size_t>(i)]);
            if (byte < 0x80) {
                data[written++] = static_cast<char>(byte);
                continue;
            }
            data[written++] = static_cast<char>(0xC0 | (byte >> 6));
            const int second = 0x80 | (byte & 0x3F);
            if (written < maxSize)
                data[written++] = static_cast<char>(second);
            else
                pending_ = second;
        }
    }
    return written;
}

bool HoldsInvalidUtf8(QIODevice& device, qint64 limit)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    std::vector<char> chunk(kChunk);
    for (qint64 left = limit;;) {
        const qint64 want = left < 0 ? qint64(kChunk) : std::min<qint64>(left, kChunk);
        if (want == 0)
            return false; // the limit reached: a character it cut off is not judged
        const qint64 got = device.read(chunk.data(), want);
        if (left > 0)
            left -= std::max<qint64>(got, 0);
        if (got <= 0)
            break;
        // The decoder keeps a character cut by the chunk border for the next call.
        const QString ignored = decoder.decode(QByteArrayView(chunk.data(), got));
        if (decoder.hasError())
            return true;
    }
    // A character cut off by the end of the data shows once anything plain follows it.
    const QString tail = decoder.decode(QByteArrayView("\n", 1));
    return decoder.hasError();
}

} // namespace varnex
