// pkivo: the console. Loads the settings, shows the main window and connects to the controller.
#include "app/program.h"
#include "setup/settingsfile.h"
#include "ui/kivocon.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("PKivo");
    QApplication::setQuitOnLastWindowClosed(false); // the main window ends the program

    pkivo::Program program;
    if (!pkivo::initparams(program.console.sysparams, program.ui)) {
        return 1;
    }
    program.keeper.setEnabled(pkivo::loadReconnectChoice());
    program.windows.provide(program.keeper);
    pkivo::Kivocon& window = program.windows.show<pkivo::Kivocon>();
    // The connect check runs inside the event loop, so that closing the window while it
    // searches ends the program.
    QTimer::singleShot(0, &window, &pkivo::Kivocon::startUp);
    return QApplication::exec();
}
