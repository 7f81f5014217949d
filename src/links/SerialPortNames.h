#pragma once
// Where "COM1".."COM4" live on this machine: /dev/ttyS0../dev/ttyS3 unless the command
// line names another device (--com1 PATH .. --com4 PATH).
#include "links/ComPortTypes.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>

namespace varnex {

class SerialPortNames {
public:
    SerialPortNames();

    std::string devicePath(TComPortNumber port) const;
    void setOverride(TComPortNumber port, const std::string& path);
    void clearOverride(TComPortNumber port);

    // "COM1".."COM4" (any case) -> the port; anything else -> nothing.
    static std::optional<TComPortNumber> portFromDeviceName(const std::string& name);

    // Takes --comN PATH and --comN=PATH out of arguments (argv style, program name
    // included) and applies them. Returns the arguments left over. A --comN without a
    // path is reported in *error and left in the result.
    QStringList applyArguments(const QStringList& arguments, QString* error = nullptr);

private:
    std::array<std::string, 4> overrides_;
};

} // namespace varnex
