#pragma once
// The trend view as a picture file: PNG (at 1× or 2×), SVG (vector, its texts as text)
// or PDF (vector), with the axes and a caption of the span and its statistics.
// Rendering happens in memory where the series lives (the UI thread: it costs about the
// width); encoding and writing the file need nothing of the series and may run anywhere.
#include "app/trend/TrendRenderer.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace varnex {

enum class TrendPictureFormat { Png, Svg, Pdf };

// By the name's extension, in any letter case; empty for any other.
std::optional<TrendPictureFormat> PictureFormatOf(const QString& name);

struct TrendPictureRequest {
    TrendPictureFormat format = TrendPictureFormat::Png;
    QSize size{1200, 700}; // logical pixels (PDF: points at 96 per inch)
    double scale = 1.0;    // PNG only: 2 gives twice the pixels for the same layout
    double fromMs = 0.0, toMs = 0.0;
    QString title;         // SVG and PDF document title
};

// A rendered picture: the image of a PNG, or the bytes of an SVG or PDF.
struct RenderedTrendPicture {
    TrendPictureFormat format = TrendPictureFormat::Png;
    QImage image;
    QByteArray bytes;
};

RenderedTrendPicture RenderTrendPicture(const TrendSeries& series, const TrendRenderOptions& options,
                                        const TrendPictureRequest& request);

// Encodes (PNG) and writes the file whole or not at all; an empty text on success,
// otherwise the reason.
QString WriteTrendPicture(const RenderedTrendPicture& picture, const QString& fileName);

} // namespace varnex
