#pragma once
// The pictures of the virtual LCD's signs, kept as resources: the HOLD sign and the link signs
// as bitmaps, the data sign and the REL sign as JPEG pictures decoded with our libjpeg decoder.
#include <QImage>
#include <QString>

namespace varnex {

enum class LcdSign { Hold, Rel, Data, Linked, NotLinked };

// The resource path of a sign's picture (":/display/rel.jpg").
QString LcdSignPath(LcdSign sign);

// The sign's picture; a null image when the resource is missing or does not decode.
// errorText (optional) receives why.
QImage LoadLcdSign(LcdSign sign, QString* errorText = nullptr);

// Reads a JPEG resource or file and decodes it with DecodeJpeg.
QImage LoadJpegFile(const QString& path, QString* errorText = nullptr);

} // namespace varnex
