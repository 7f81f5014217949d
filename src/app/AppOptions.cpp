#include "app/AppOptions.h"

namespace varnex {

QString AppOptions::usage()
{
    return QStringLiteral(
        "usage: varnex [--simulate] [--com1 PATH] [--com2 PATH] [--com3 PATH] [--com4 PATH] [--mqtt URL]\n"
        "  --simulate     run with the simulated meter on COM1 and as the USB device\n"
        "  --comN PATH    open PATH when COM N is selected (default /dev/ttyS0../dev/ttyS3)\n"
        "  --mqtt URL     publish every logged reading to an MQTT broker:\n"
        "                 mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX\n");
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
        else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            options.help = true;
        else if (a == QLatin1String("--mqtt") || a.startsWith(QLatin1String("--mqtt="))) {
            QString text;
            if (a.startsWith(QLatin1String("--mqtt=")))
                text = a.mid(7);
            else if (i + 1 < rest.size())
                text = rest.at(++i);
            else {
                options.error = QStringLiteral("--mqtt needs a URL");
                return options;
            }
            std::string why;
            options.mqtt = ParseMqttUrl(text.toStdString(), &why);
            if (!options.mqtt) {
                options.error = QStringLiteral("--mqtt: %1").arg(QString::fromStdString(why));
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
