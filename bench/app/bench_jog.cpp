// The Position Manager's jog against the virtual controller on a pseudo-terminal: servo 1's "+"
// held for HOLD ms (default 2000), first with the controller answering at once, then pacing its
// line at 57,600 baud. Prints the steps a second, and the time a step takes against the time its
// characters need on the line ("&", ":", "-" and the 9-character request, the 9-character
// reply). For scale it also runs the same steps from a bare client that does nothing but write
// and poll the device: what this machine's pseudo-terminal and the controller's thread cost a
// step before any console work. Usage: bench_jog [HOLD_MS]. Offscreen; asserts nothing.
#include "benchdesk.h"
#include "console/console.h"
#include "console/positions.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "setup/settingsfile.h"
#include "ui/positionbuilder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace pkivo;

namespace {

constexpr int baud = 57600;
constexpr int stepCharacters = 1 + 1 + 10 + 9;
constexpr double lineTimeMs = 1000.0 * stepCharacters * 10 / baud;

int shortPackets(bench::ControllerThread& controller) {
    return controller.onController(
        [](sim::PtyServer& server) { return server.protocol().counters().shortPackets; });
}

void report(const char* what, int steps, double elapsedMs, bool paced) {
    const double perStep = elapsedMs / std::max(steps, 1);
    std::printf("%s: %d steps in %.0f ms, %.0f a second, %.3f ms a step", what, steps, elapsedMs,
                1000 * steps / elapsedMs, perStep);
    if (paced) {
        std::printf("; its characters need %.3f ms on the line: %+.1f %%", lineTimeMs,
                    100 * (perStep - lineTimeMs) / lineTimeMs);
    }
    std::printf("\n");
}

void holdJog(bool pace, int holdMs) {
    bench::PrintingUi ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console console(port, waiter, ui);
    if (!initparams(console.sysparams, ui)) {
        std::exit(1);
    }
    bench::ControllerThread controller(pace, baud);
    console.sysparams.setField(settings::comport, "01");
    if (console.link.opencomport(console.portSettings(), ui) != ConnectResult::Connected) {
        std::exit(1);
    }
    Positionbuilder window(console);
    window.show();
    auto* button = window.findChild<QPushButton*>("posup_0");
    const int before = shortPackets(controller);
    QElapsedTimer held;
    double heldMs = 0;
    QTimer::singleShot(holdMs, Qt::PreciseTimer, button, [&] {
        heldMs = double(held.nsecsElapsed()) / 1e6;
        QTest::mouseRelease(button, Qt::LeftButton);
    });
    held.start();
    QTest::mousePress(button, Qt::LeftButton);
    QEventLoop settle;
    QTimer::singleShot(holdMs + 300, &settle, &QEventLoop::quit);
    settle.exec();
    // The step under way when the button was let go still finishes: it is not counted.
    report(pace ? "console, paced at 57600 baud" : "console, unpaced",
           shortPackets(controller) - before - 1, heldMs, pace);
    port.close();
}

// Reads exactly `count` characters, sleeping in poll() between them.
bool readExactly(int fd, int count) {
    char buffer[16];
    while (count > 0) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) {
            return false;
        }
        const ssize_t got = ::read(fd, buffer, size_t(std::min(count, int(sizeof buffer))));
        if (got <= 0) {
            return false;
        }
        count -= int(got);
    }
    return true;
}

void bareSteps(int holdMs) {
    bench::ControllerThread controller(true, baud);
    const std::string device =
        controller.onController([](sim::PtyServer& server) { return server.devicePath(); });
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    termios mode{};
    tcgetattr(fd, &mode);
    cfmakeraw(&mode);
    tcsetattr(fd, TCSANOW, &mode);
    const std::string request = "-" + jogRequest(true, 1, 1);
    int steps = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::milliseconds(holdMs);
    while (std::chrono::steady_clock::now() < end) {
        if (::write(fd, "&", 1) != 1 || !readExactly(fd, 1) ||
            ::write(fd, request.data(), request.size()) != ssize_t(request.size()) ||
            !readExactly(fd, 9)) {
            std::fprintf(stderr, "bare client: the exchange failed\n");
            std::exit(1);
        }
        ++steps;
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    ::close(fd);
    report("bare client, paced at 57600 baud", steps, elapsed.count(), true);
}

} // namespace

int main(int argc, char** argv) {
    bench::OffscreenHome home;
    QApplication app(argc, argv);
    const int holdMs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 2000, 100, 60000);
    holdJog(false, holdMs);
    holdJog(true, holdMs);
    bareSteps(holdMs);
    return 0;
}
