// The Position Manager's jog against the virtual controller on a pseudo-terminal: servo 1's "+"
// held for HOLD ms (default 2000), first with the controller answering at once, then pacing its
// line at 57,600 baud. Prints the steps a second, and the time a step takes against the time its
// characters need on the line ("&", ":", "-" and the 9-character request, the 9-character
// reply). Usage: bench_jog [HOLD_MS]. Offscreen; asserts nothing.
#include "benchdesk.h"
#include "console/console.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "setup/settingsfile.h"
#include "ui/positionbuilder.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace pkivo;

namespace {

constexpr int stepCharacters = 1 + 1 + 10 + 9;

void holdJog(bool pace, int holdMs) {
    bench::PrintingUi ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console console(port, waiter, ui);
    if (!initparams(console.sysparams, ui)) {
        std::exit(1);
    }
    const auto controller = bench::startController(pace, 57600);
    console.sysparams.setField(settings::comport, "01");
    if (console.link.opencomport(console.portSettings(), ui) != ConnectResult::Connected) {
        std::exit(1);
    }
    Positionbuilder window(console);
    window.show();
    auto* button = window.findChild<QPushButton*>("posup_0");
    const int before = controller->protocol().counters().shortPackets;
    QTimer::singleShot(holdMs, button, [button] { QTest::mouseRelease(button, Qt::LeftButton); });
    QTest::mousePress(button, Qt::LeftButton);
    QEventLoop settle;
    QTimer::singleShot(holdMs + 300, &settle, &QEventLoop::quit);
    settle.exec();
    const int steps = controller->protocol().counters().shortPackets - before;
    const double perStep = double(holdMs) / std::max(steps, 1);
    const double lineTime = 1000.0 * stepCharacters * 10 / 57600;
    if (pace) {
        std::printf("paced at 57600 baud: %d steps in %d ms, %.0f a second, %.2f ms a step; its "
                    "characters need %.2f ms on the line: %+.1f %%\n",
                    steps, holdMs, 1000 * steps / double(holdMs), perStep, lineTime,
                    100 * (perStep - lineTime) / lineTime);
    } else {
        std::printf("unpaced: %d steps in %d ms, %.0f a second, %.2f ms a step\n", steps, holdMs,
                    1000 * steps / double(holdMs), perStep);
    }
    port.close();
}

} // namespace

int main(int argc, char** argv) {
    bench::OffscreenHome home;
    QApplication app(argc, argv);
    const int holdMs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 2000, 100, 60000);
    holdJog(false, holdMs);
    holdJog(true, holdMs);
    return 0;
}
