#pragma once
// The pictures on the keypad keys that carry no text: "oumu" (ohm sign), "CAP" (capacitor),
// "duanlou" (continuity beeper), "DIODE", "UP" and "DOWN" (range triangles) and "AUTO" (the word
// AUTO over a return arrow). White drawings on the keys' dark face.
#include <QIcon>
#include <QImage>
#include <QString>

namespace varnex {

// The key names that have a picture.
QStringList KeyPictureNames();

// The picture drawn into an image of the given size (transparent background); a null image
// for a key without a picture.
QImage KeyPictureImage(const QString& keyName, const QSize& size);

// The key's icon (32 x 20 and 64 x 40 renderings); a null icon for a key without a picture.
QIcon KeyPicture(const QString& keyName);

} // namespace varnex
