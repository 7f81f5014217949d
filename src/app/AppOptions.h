#pragma once
// The command line of varnex: --simulate, --com1 PATH .. --com4 PATH to map the COM
// ports onto this machine's serial devices, --connect com|usb to press a link button
// once the window is up, --data-dir DIR for the journal; --help and --version.
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
    QString dataDir; // empty: the user's local data folder
    QString error; // non-empty: the command line could not be read

    static QString usage();
};

AppOptions ParseAppOptions(const QStringList& arguments);

// "varnex 3.03": what --version prints.
QString VersionText();

// --help and --version need no window: they are answered from the raw command line
// before the application object exists, so they work with no display at all.
struct EarlyAnswer {
    bool answered = false;
    QString text; // for standard output
};
EarlyAnswer AnswerBeforeGui(const QStringList& rawArguments);

} // namespace varnex
