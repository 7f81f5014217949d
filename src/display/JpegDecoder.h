#pragma once
// JPEG pictures of the virtual LCD (the data sign and the REL sign), decoded with libjpeg.
// A corrupt, truncated or empty picture gives an error text instead of ending the program.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace varnex {

struct JpegDecodeResult {
    QImage image;   // RGB888 when decoded, null otherwise
    QString error;  // libjpeg's message when decoding failed

    bool ok() const { return !image.isNull(); }
};

// The largest side we accept; a damaged header must not make us allocate gigabytes.
constexpr int kMaxJpegSide = 8192;

JpegDecodeResult DecodeJpeg(const QByteArray& data);

} // namespace varnex
