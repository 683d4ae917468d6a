// The console program's own pieces: the real serial port, the event-loop waiter and the message
// boxes, the Console they make up, the line keeper that reconnects after a pulled adapter, and
// the windows. main() makes one.
#pragma once

#include "console/console.h"
#include "console/linekeeper.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qtticker.h"
#include "ui/qtuiservices.h"
#include "ui/windowset.h"

namespace pkivo {

struct Program {
    QtUiServices ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console console{port, waiter, ui};
    QtTicker ticker;
    LineKeeper keeper{console.link, waiter, ticker, [this] { return console.portSettings(); }};
    WindowSet windows{console}; // destroyed first: windows go before what they use
};

} // namespace pkivo
