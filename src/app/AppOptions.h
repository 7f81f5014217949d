#pragma once
// The command line of varnex: --simulate, --com1 PATH .. --com4 PATH to map the
// COM ports onto this machine's serial devices, and --mqtt URL to publish the readings.
#include "app/publisher/MqttUrl.h"
#include "links/SerialPortNames.h"

#include <optional>

#include <QString>
#include <QStringList>

namespace varnex {

struct AppOptions {
    bool simulate = false;
    bool help = false;
    SerialPortNames portNames;
    std::optional<MqttUrl> mqtt; // --mqtt: every logged reading also goes to this broker
    QString error; // non-empty: the command line could not be read

    static QString usage();
};

AppOptions ParseAppOptions(const QStringList& arguments);

} // namespace varnex
