#include "LogFilesTestSupport.h"

#include <QFile>

#include <stdexcept>

namespace varnex::testing {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

std::vector<Row> ThreeReadings()
{
    return {
        {1, "14:05:09", "DCV", "1.2345", "V", "", ""},
        {2, "14:05:10", "ACV DCV", "-0.0012", "mV", "50.00", "KHz"},
        {4, "14:05:12", "ohm", "12.345", "K*", "", ""},
    };
}

} // namespace varnex::testing
