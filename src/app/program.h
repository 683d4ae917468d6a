// The console program's own pieces: the real serial port, the event-loop waiter and the message
// boxes, the Console they make up, and the windows. main() makes one.
#pragma once

#include "console/console.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "ui/qtuiservices.h"
#include "ui/windowset.h"

namespace pkivo {

struct Program {
    QtUiServices ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console console{port, waiter, ui};
    WindowSet windows{console}; // destroyed first: windows go before what they use
};

} // namespace pkivo
