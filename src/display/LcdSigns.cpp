#include "display/LcdSigns.h"

#include "display/JpegDecoder.h"

#include <QFile>

// The signs live in this library's resources; registering them here makes the linker keep them
// in every program that shows the panel.
static void RegisterDisplayResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(display);
        return true;
    }();
    (void)registered;
}

namespace varnex {

namespace {

void SetError(QString* errorText, const QString& text)
{
    if (errorText)
        *errorText = text;
}

} // namespace

QString LcdSignPath(LcdSign sign)
{
    switch (sign) {
    case LcdSign::Hold: return QStringLiteral(":/display/hold.bmp");
    case LcdSign::Rel: return QStringLiteral(":/display/rel.jpg");
    case LcdSign::Data: return QStringLiteral(":/display/send.jpg");
    case LcdSign::Linked: return QStringLiteral(":/display/conok.bmp");
    case LcdSign::NotLinked: return QStringLiteral(":/display/conokn.bmp");
    }
    return {};
}

QImage LoadJpegFile(const QString& path, QString* errorText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(errorText, QStringLiteral("cannot open %1").arg(path));
        return {};
    }
    const JpegDecodeResult decoded = DecodeJpeg(file.readAll());
    if (!decoded.ok())
        SetError(errorText, QStringLiteral("%1: %2").arg(path, decoded.error));
    return decoded.image;
}

QImage LoadLcdSign(LcdSign sign, QString* errorText)
{
    RegisterDisplayResources();
    const QString path = LcdSignPath(sign);
    if (path.endsWith(QLatin1String(".jpg")))
        return LoadJpegFile(path, errorText);
    QImage image;
    if (!image.load(path, "BMP"))
        SetError(errorText, QStringLiteral("cannot read the bitmap %1").arg(path));
    return image;
}

} // namespace varnex
