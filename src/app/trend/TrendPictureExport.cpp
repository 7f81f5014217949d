#include "app/trend/TrendPictureExport.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace varnex {

std::optional<TrendPictureFormat> PictureFormatOf(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return TrendPictureFormat::Png;
    if (suffix == QLatin1String("svg"))
        return TrendPictureFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return TrendPictureFormat::Pdf;
    return std::nullopt;
}

RenderedTrendPicture RenderTrendPicture(const TrendSeries& series, const TrendRenderOptions& options,
                                        const TrendPictureRequest& request)
{
    RenderedTrendPicture out;
    out.format = request.format;
    TrendRenderOptions withCaption = options;
    withCaption.caption = true;
    const TrendRenderer renderer(series, withCaption);
    const QRectF rect(QPointF(0, 0), QSizeF(request.size));

    switch (request.format) {
    case TrendPictureFormat::Png: {
        const double scale = request.scale > 0.0 ? request.scale : 1.0;
        out.image = QImage((QSizeF(request.size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
        out.image.setDevicePixelRatio(scale);
        out.image.fill(Qt::white);
        QPainter painter(&out.image);
        renderer.paint(painter, rect, request.fromMs, request.toMs);
        break;
    }
    case TrendPictureFormat::Svg: {
        QBuffer buffer(&out.bytes);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(request.size);
        svg.setViewBox(rect);
        svg.setResolution(96);
        svg.setTitle(request.title);
        svg.setDescription(QStringLiteral("Trend of the logged readings"));
        QPainter painter(&svg);
        renderer.paint(painter, rect, request.fromMs, request.toMs);
        break;
    }
    case TrendPictureFormat::Pdf: {
        QBuffer buffer(&out.bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96);
        pdf.setTitle(request.title);
        pdf.setCreator(QStringLiteral("varnex"));
        // A page of the picture's own size: 96 logical pixels are 72 points.
        pdf.setPageSize(QPageSize(QSizeF(request.size) * (72.0 / 96.0), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&pdf);
        renderer.paint(painter, QRectF(0, 0, pdf.width(), pdf.height()), request.fromMs, request.toMs);
        break;
    }
    }
    return out;
}

QString WriteTrendPicture(const RenderedTrendPicture& picture, const QString& fileName)
{
    QByteArray encoded;
    const QByteArray* bytes = &picture.bytes;
    if (picture.format == TrendPictureFormat::Png) {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.image.save(&buffer, "PNG"))
            return QStringLiteral("The picture could not be encoded as PNG.");
        bytes = &encoded;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(*bytes) != bytes->size() || !file.commit())
        return file.errorString();
    return {};
}

} // namespace varnex
