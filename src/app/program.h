// Everything the program keeps for its whole run, in one place: the settings record, the serial
// port, the waiter and the link with its globals, and the desk services. Every window gets it.
#pragma once

#include "link/link.h"
#include "setup/settingsrecord.h"

namespace pkivo {

class SerialPort;
class UiServices;
class Waiter;

struct Program {
    Program(SerialPort& serialPort, Waiter& programWaiter, UiServices& uiServices)
        : port(serialPort), waiter(programWaiter), ui(uiServices), link(serialPort, programWaiter) {}

    // The port fields of the settings, as opencomport takes them.
    PortSettings portSettings() const { return portSettingsFrom(sysparams); }

    SettingsRecord sysparams;
    SerialPort& port;
    Waiter& waiter;
    UiServices& ui;
    Link link;
};

} // namespace pkivo
