// The "Flash memory utility" window against the virtual controller on a pseudo-terminal, the
// controller pacing its line at 57,600 baud:
//   1. "Read flash into file" of pages 0 to PAGES-1 (default all 2048);
//   2. "Write entire flash file into memory" of that file;
// each against the time its characters need on the line, with the longest gap between two
// turns of the event loop while it ran. Usage: bench_flash [PAGES]. Offscreen; asserts nothing.
#include "benchdesk.h"
#include "console/console.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "platform/uiservices.h"
#include "setup/settingsfile.h"
#include "sim/pty/ptyserver.h"
#include "ui/binsend.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace pkivo;
using WallClock = std::chrono::steady_clock;

namespace {

// The longest time between two ticks of a 5 ms timer: how long the window could not react.
struct GapMeter {
    GapMeter() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const auto now = WallClock::now();
            longest = std::max(longest, std::chrono::duration<double>(now - last).count());
            last = now;
        });
    }
    void start() {
        longest = 0;
        last = WallClock::now();
        timer.start(5);
    }
    QTimer timer;
    WallClock::time_point last;
    double longest = 0;
};

// Clicks `button` and prints the time against the line time of `characters`.
void measure(Binsend& window, const char* button, const char* what, int pages, size_t characters) {
    GapMeter gaps;
    gaps.start();
    const auto start = WallClock::now();
    window.findChild<QPushButton*>(button)->click();
    const double wall = std::chrono::duration<double>(WallClock::now() - start).count();
    const double lineTime = double(characters) * 10 / 57600; // 8N1: ten bits a character
    std::printf("%s: %d pages, %s, %.2f s; the %zu characters need %.2f s on the line: %+.2f %%; "
                "longest event-loop gap %.1f ms\n",
                what, pages,
                window.findChild<QLabel*>("transferResult")->text().toLatin1().constData(), wall,
                characters, lineTime, 100 * (wall - lineTime) / lineTime, 1000 * gaps.longest);
}

} // namespace

int main(int argc, char** argv) {
    bench::OffscreenHome home;
    QApplication app(argc, argv);
    const int pages = std::clamp(argc > 1 ? std::atoi(argv[1]) : 2048, 1, 2048);

    bench::PrintingUi ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console console(port, waiter, ui);
    if (!initparams(console.sysparams, ui)) {
        return 1;
    }
    const auto controller = bench::startController(true, 57600);
    console.sysparams.setField(settings::comport, "01");
    if (console.link.opencomport(console.portSettings(), ui) != ConnectResult::Connected) {
        return 1;
    }
    Binsend window(console);
    window.show();
    window.findChild<QLineEdit*>("endpage")->setText(QString::number(pages - 1));
    // A read: "&", ":", "$" and the 64-character request, the 528-digit page.
    measure(window, "savefla", "read into file", pages, size_t(pages) * (1 + 1 + 65 + 528));
    // A write: "#", "!", "$" and the 533-character line, the 64-character reply.
    measure(window, "readfla", "write file", pages, size_t(pages) * (1 + 1 + 534 + 64));
    port.close();
    return 0;
}
