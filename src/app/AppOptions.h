#pragma once
// The command line of varnex: --simulate, --com1 PATH .. --com4 PATH to map the COM
// ports onto this machine's serial devices, and --data-dir DIR for the journal.
#include "links/SerialPortNames.h"

#include <QString>
#include <QStringList>

namespace varnex {

struct AppOptions {
    bool simulate = false;
    bool help = false;
    SerialPortNames portNames;
    QString dataDir; // empty: the user's local data folder
    QString error; // non-empty: the command line could not be read

    static QString usage();
};

AppOptions ParseAppOptions(const QStringList& arguments);

} // namespace varnex
