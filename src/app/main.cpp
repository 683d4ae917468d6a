// pkivo: the console. Loads the settings, shows the main window and connects to the controller.
#include "app/kivocon.h"
#include "app/program.h"
#include "app/qtuiservices.h"
#include "platform/eventloopwaiter.h"
#include "platform/qtserialport.h"
#include "setup/settingsfile.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("PKivo");
    QApplication::setQuitOnLastWindowClosed(false); // the main window ends the program

    pkivo::QtUiServices ui;
    pkivo::QtSerialPort port;
    pkivo::EventLoopWaiter waiter;
    pkivo::Program program(port, waiter, ui);
    if (!pkivo::initparams(program.sysparams, ui)) {
        return 1;
    }
    pkivo::Kivocon window(program);
    window.show();
    // The connect check runs inside the event loop, so that closing the window while it
    // searches ends the program.
    QTimer::singleShot(0, &window, &pkivo::Kivocon::startUp);
    return QApplication::exec();
}
