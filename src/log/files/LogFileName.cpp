#include "log/files/LogFileName.h"

namespace varnex {

QString LowerExtension(const QString& name)
{
    const qsizetype componentStart = name.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < componentStart)
        return QString();
    return name.mid(dot).toLower();
}

LogFileForm FormForName(const QString& name)
{
    return LowerExtension(name) == QLatin1String(".xml") ? LogFileForm::Xml : LogFileForm::Text;
}

QString SaveNameFor(const QString& name)
{
    const QString ext = LowerExtension(name);
    if (ext == QLatin1String(".xml") || ext == QLatin1String(".xls") || ext == QLatin1String(".txt"))
        return name;
    return name + QLatin1String(".xls");
}

} // namespace varnex
