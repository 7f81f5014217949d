#include "app/AppOptions.h"

namespace varnex {

QString AppOptions::usage()
{
    return QStringLiteral(
        "usage: varnex [--simulate] [--com1 PATH] [--com2 PATH] [--com3 PATH] [--com4 PATH] [--data-dir DIR]\n"
        "  --simulate     run with the simulated meter on COM1 and as the USB device\n"
        "  --comN PATH    open PATH when COM N is selected (default /dev/ttyS0../dev/ttyS3)\n"
        "  --data-dir DIR keep the journal of readings in DIR (default ~/.local/share/varnex)\n");
}

AppOptions ParseAppOptions(const QStringList& arguments)
{
    AppOptions options;
    QString portError;
    const QStringList rest = options.portNames.applyArguments(arguments, &portError);
    if (!portError.isEmpty()) {
        options.error = portError;
        return options;
    }
    // rest[0] is the program name; Qt has already taken its own options out.
    for (int i = 1; i < rest.size(); ++i) {
        const QString& a = rest.at(i);
        if (a == QLatin1String("--simulate"))
            options.simulate = true;
        else if (a == QLatin1String("--data-dir")) {
            if (i + 1 >= rest.size() || rest.at(i + 1).isEmpty()) {
                options.error = QStringLiteral("--data-dir needs a folder");
                return options;
            }
            options.dataDir = rest.at(++i);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            options.help = true;
        else {
            options.error = QStringLiteral("unknown option: %1").arg(a);
            return options;
        }
    }
    return options;
}

} // namespace varnex
