#include "app/AppOptions.h"

namespace varnex {

QString AppOptions::usage()
{
    return QStringLiteral(
        "usage: varnex [--simulate] [--com1 PATH] [--com2 PATH] [--com3 PATH] [--com4 PATH] [--connect com|usb]\n"
        "             [--data-dir DIR]\n"
        "  --simulate     run with the simulated meter on COM1 and as the USB device\n"
        "  --comN PATH    open PATH when COM N is selected (default /dev/ttyS0../dev/ttyS3)\n"
        "  --connect com|usb  press COM CONNECTION or USB CONNECTION once the window is up\n"
        "  --data-dir DIR keep the journal of readings in DIR (default ~/.local/share/varnex)\n"
        "  --help         show this text\n"
        "  --version      show the program's version\n");
}

QString VersionText()
{
    return QStringLiteral("varnex " VARNEX_VERSION "\n");
}

EarlyAnswer AnswerBeforeGui(const QStringList& rawArguments)
{
    // A port path never starts with "--", so any such argument is an option.
    for (int i = 1; i < rawArguments.size(); ++i) {
        const QString& a = rawArguments.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return {true, AppOptions::usage()};
        if (a == QLatin1String("--version"))
            return {true, VersionText()};
    }
    return {};
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
        else if (a == QLatin1String("--connect") || a.startsWith(QLatin1String("--connect="))) {
            const QString link = a.contains(QLatin1Char('=')) ? a.section(QLatin1Char('='), 1)
                                                              : (i + 1 < rest.size() ? rest.at(++i) : QString());
            if (link == QLatin1String("com"))
                options.connect = ConnectionMode::Com;
            else if (link == QLatin1String("usb"))
                options.connect = ConnectionMode::Usb;
            else {
                options.error = QStringLiteral("--connect takes com or usb");
                return options;
            }
        }
        else {
            options.error = QStringLiteral("unknown option: %1").arg(a);
            return options;
        }
    }
    return options;
}

} // namespace varnex
