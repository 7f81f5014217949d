// Starts the real window with the real dialogs and clicks its "Help" menu once, as a user
// would; the desktop's own way of opening the help file (xdg-open on Linux) does the rest.
// Lives beside the program (bin/), so it opens the same Varnexhelp.chm. Used by
// check_setup.sh; exits 0 once the click was made, 1 when the window has no "Help".
#include "app/MeterEnvironment.h"
#include "app/QtUserDialogs.h"
#include "app/TFCOMM.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    varnex::MeterEnvironment environment{varnex::SerialPortNames()};
    varnex::QtUserDialogs dialogs;
    varnex::TFCOMM window(environment, dialogs);
    dialogs.setOwner(&window);
    window.show();

    QAction* help = nullptr;
    for (QAction* action : window.menuBar()->actions())
        if (action->text() == QStringLiteral("Help"))
            help = action;
    if (!help) {
        std::fputs("no Help menu\n", stderr);
        return 1;
    }
    QTimer::singleShot(0, help, [help] {
        help->trigger();
        QApplication::quit();
    });
    return QApplication::exec();
}
