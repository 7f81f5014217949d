// varnex: the interface program of the Varnex 5 1/2 digit true-RMS multimeter.
#include "app/AppOptions.h"
#include "app/MeterEnvironment.h"
#include "app/QtUserDialogs.h"
#include "app/shutdown/ShutdownSignals.h"
#include "app/TFCOMM.h"
#include "app/journal/Journal.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <system_error>

int main(int argc, char** argv)
{
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const varnex::EarlyAnswer early = varnex::AnswerBeforeGui(rawArguments); early.answered) {
        std::fputs(qPrintable(early.text), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    // From here on SIGINT, SIGTERM and SIGHUP end the program in order.
    varnex::ShutdownSignals shutdown;
    QApplication::setApplicationName(QStringLiteral("Varnex"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    QApplication::setFont(font);

    const varnex::AppOptions options = varnex::ParseAppOptions(QApplication::arguments());
    if (options.help || !options.error.isEmpty()) {
        if (!options.error.isEmpty())
            std::fprintf(stderr, "varnex: %s\n", qPrintable(options.error));
        std::fputs(qPrintable(varnex::AppOptions::usage()), options.help ? stdout : stderr);
        return options.help ? 0 : 2;
    }

    std::unique_ptr<varnex::MeterEnvironment> environment;
    try {
        environment = varnex::MeterEnvironment::FromOptions(options);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "varnex: cannot start the simulated meter: %s\n", e.what());
        return 1;
    }

    varnex::QtUserDialogs dialogs;
    varnex::TFCOMM FCOMM(*environment, dialogs);
    dialogs.setOwner(&FCOMM);
    QObject::connect(&shutdown, &varnex::ShutdownSignals::shutdownRequested, &FCOMM, [&FCOMM](int number) {
        // Leaves every event loop, also those of open boxes; main then returns and the
        // window, its ports and the environment go in order.
        FCOMM.EndWithoutQuestions();
        QCoreApplication::exit(varnex::ExitStatusForSignal(number));
    });
    FCOMM.show();
    if (options.connect != varnex::ConnectionMode::Idle)
        QTimer::singleShot(0, &FCOMM, [&FCOMM, &options] { FCOMM.PressLinkButton(options.connect); });
    // Opened on its own thread; the recovery question comes once the window is up.
    FCOMM.startJournal(varnex::JournalDataDir(options.dataDir));
    return QApplication::exec();
}
