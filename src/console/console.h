// Everything the console keeps for its whole run apart from the concrete port: the settings
// record, the waiter, the desk services and the one link with its globals. Every window and
// every command reaches the controller through it.
#pragma once

#include "link/link.h"
#include "setup/settingsrecord.h"

namespace pkivo {

class SerialPort;
class UiServices;
class Waiter;

struct Console {
    Console(SerialPort& port, Waiter& consoleWaiter, UiServices& uiServices)
        : waiter(consoleWaiter), ui(uiServices), link(port, consoleWaiter) {}
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // The port fields of the settings, as opencomport takes them.
    PortSettings portSettings() const { return portSettingsFrom(sysparams); }

    SettingsRecord sysparams;
    Waiter& waiter;
    UiServices& ui;
    Link link;
};

} // namespace pkivo
