#include "chart/ChartBitmapName.h"

namespace varnex {

QString ChartBitmapFileName(const QString& chosenName)
{
    // The extension starts at the last dot of the last path component.
    const int slash = chosenName.lastIndexOf(QLatin1Char('/'));
    const int dot = chosenName.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > slash ? chosenName.mid(dot) : QString();
    if (extension.compare(QLatin1String(".bmp"), Qt::CaseInsensitive) == 0)
        return chosenName;
    return chosenName + QLatin1String(".bmp");
}

} // namespace varnex
