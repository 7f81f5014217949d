#include "links/SerialPortNames.h"

#include <cctype>

namespace varnex {

SerialPortNames::SerialPortNames() = default;

std::string SerialPortNames::devicePath(TComPortNumber port) const
{
    const auto index = static_cast<std::size_t>(port);
    if (!overrides_[index].empty())
        return overrides_[index];
    return "/dev/ttyS" + std::to_string(index);
}

void SerialPortNames::setOverride(TComPortNumber port, const std::string& path)
{
    overrides_[static_cast<std::size_t>(port)] = path;
}

void SerialPortNames::clearOverride(TComPortNumber port) { overrides_[static_cast<std::size_t>(port)].clear(); }

std::optional<TComPortNumber> SerialPortNames::portFromDeviceName(const std::string& name)
{
    if (name.size() != 4)
        return std::nullopt;
    const auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    if (upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M')
        return std::nullopt;
    if (name[3] < '1' || name[3] > '4')
        return std::nullopt;
    return static_cast<TComPortNumber>(name[3] - '1');
}

QStringList SerialPortNames::applyArguments(const QStringList& arguments, QString* error)
{
    QStringList rest;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        int port = -1;
        QString path;
        bool hasPath = false;
        for (int n = 1; n <= 4; ++n) {
            const QString option = QStringLiteral("--com%1").arg(n);
            if (arg == option) {
                port = n - 1;
                if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1String("--"))) {
                    path = arguments[i + 1];
                    hasPath = !path.isEmpty();
                    if (hasPath)
                        ++i;
                }
                break;
            }
            if (arg.startsWith(option + QLatin1Char('='))) {
                port = n - 1;
                path = arg.mid(option.size() + 1);
                hasPath = !path.isEmpty();
                break;
            }
        }
        if (port < 0) {
            rest << arg;
            continue;
        }
        if (!hasPath) {
            if (error)
                *error = QStringLiteral("%1 needs a device path").arg(arg.section(QLatin1Char('='), 0, 0));
            rest << arg;
            continue;
        }
        setOverride(static_cast<TComPortNumber>(port), path.toStdString());
    }
    return rest;
}

} // namespace varnex
