#include "chart/ChartBitmapSave.h"

#include "chart/ChartBitmapName.h"
#include "chart/ChartWidget.h"

#include <QFile>
#include <QImage>

namespace varnex {
namespace {

QString CannotCreate(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason);
}

} // namespace

ChartBitmapResult SaveChartBitmap(ChartWidget& chart, const QString& chosenName)
{
    ChartBitmapResult result;
    result.fileName = ChartBitmapFileName(chosenName);
    const QImage image = chart.RenderImage();

    QFile file(result.fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.message = CannotCreate(result.fileName, file.errorString());
        return result;
    }
    if (!image.save(&file, "BMP") || !file.flush()) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                   : QStringLiteral("The picture could not be written.");
        file.close();
        file.remove(); // nothing half-written stays behind
        result.message = CannotCreate(result.fileName, reason);
        return result;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        result.message = CannotCreate(result.fileName, file.errorString());
        file.remove();
        return result;
    }
    result.saved = true;
    return result;
}

} // namespace varnex
