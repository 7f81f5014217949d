#pragma once
// The command line of varnex: --simulate, --com1 PATH .. --com4 PATH to map the COM
// ports onto this machine's serial devices, and --connect com|usb to press a link button
// once the window is up.
#include "links/ConnectionMode.h"
#include "links/SerialPortNames.h"

#include <QString>
#include <QStringList>

namespace varnex {

struct AppOptions {
    bool simulate = false;
    bool help = false;
    ConnectionMode connect = ConnectionMode::Idle;
    SerialPortNames portNames;
    QString error; // non-empty: the command line could not be read

    static QString usage();
};

AppOptions ParseAppOptions(const QStringList& arguments);

} // namespace varnex
