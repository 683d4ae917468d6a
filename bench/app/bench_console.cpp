// The console against the virtual controller on a pseudo-terminal, in one process:
//   1. start-up: from creating the main window to BoardData1 showing the controller;
//   2. idle: CPU used while the status monitor listens and no record comes (6 s);
//   3. download: a flash data file of PAGES pages (default 2048) with the controller pacing its
//      line at 57,600 baud, against the time its characters need on the line.
// Usage: bench_console [PAGES]. Runs offscreen; prints figures, asserts nothing.
#include "benchdesk.h"
#include "console/console.h"
#include "console/flashdownload.h"
#include "console/statusmonitor.h"
#include "core/textfield.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "platform/uiservices.h"
#include "setup/settingsfile.h"
#include "sim/pty/ptyserver.h"
#include "ui/kivocon.h"
#include "ui/windowset.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <vector>

using namespace pkivo;
using WallClock = std::chrono::steady_clock;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double secondsSince(WallClock::time_point start) {
    return std::chrono::duration<double>(WallClock::now() - start).count();
}

// Counts the characters of every page on the line, both ways, as the download goes. The
// download empties `packet` before each page, so the replies, all of one length, are counted
// at the end from the last one.
struct WireCount : DownloadObserver {
    explicit WireCount(Link& l) : link(l) {}
    void pageStarted(const std::string&, int index, int) override {
        const auto now = WallClock::now();
        if (index > 0) {
            pageSeconds.push_back(std::chrono::duration<double>(now - last).count());
        }
        last = now;
        // "#", "!", then "$" and the page line.
        characters += 3 + link.globals().packdata.size();
    }
    void countReplies(int pages) { characters += size_t(pages) * link.globals().packet.size(); }
    Link& link;
    size_t characters = 0;
    WallClock::time_point last;
    std::vector<double> pageSeconds;
};

} // namespace

int main(int argc, char** argv) {
    bench::OffscreenHome home;
    QApplication app(argc, argv);
    const int pages = argc > 1 ? std::atoi(argv[1]) : 2048;

    bench::PrintingUi ui;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Console program(port, waiter, ui);
    WindowSet windows(program);
    if (!initparams(program.sysparams, ui)) {
        return 1;
    }

    {
        auto controller = bench::startController(false, 57600);
        auto start = WallClock::now();
        Kivocon& window = windows.show<Kivocon>();
        window.startUp();
        const double startUp = secondsSince(start);
        std::printf("start-up: main window shown and connected in %.3f s (%s)\n", startUp,
                    window.findChild<QLineEdit*>("BoardData1")->text().toLatin1().constData());

        StatusDisplay display;
        program.link.setMonitoring(true);
        const double cpuBefore = cpuSeconds();
        start = WallClock::now();
        statusmonitor(program.link, display, {});
        const double wall = secondsSince(start);
        std::printf("idle monitor: %.2f s of listening used %.3f %% of one core\n", wall,
                    100 * (cpuSeconds() - cpuBefore) / wall);
        window.hide();
        port.close();
    }

    auto controller = bench::startController(true, 57600);
    program.sysparams.setField(settings::comport, "01");
    program.link.opencomport(program.portSettings(), ui);
    {
        std::ofstream file(home.dir.filePath("Tolvane/flash.tmp").toStdString(), std::ios::binary);
        for (int page = 0; page < pages; ++page) {
            file << decimalDigits(uint64_t(page), 5) << std::string(528, page % 2 ? 'F' : '0')
                 << "\r\n";
        }
    }
    WireCount wire(program.link);
    auto start = WallClock::now();
    const DownloadResult result =
        downloadFlashFile(program.link, program.sysparams.flashfileloc(), wire).result;
    const double wall = secondsSince(start);
    wire.countReplies(pages);
    const double lineTime = double(wire.characters) * 10 / 57600; // 8N1: ten bits a character
    std::printf("download: %d pages, %s, %.2f s; the %zu characters need %.2f s on the line at "
                "57600 baud: %+.2f %%\n",
                pages, result == DownloadResult::Ok ? "OK" : "FAIL", wall, wire.characters,
                lineTime, 100 * (wall - lineTime) / lineTime);
    std::sort(wire.pageSeconds.begin(), wire.pageSeconds.end());
    if (!wire.pageSeconds.empty()) {
        std::printf("          page to page: fastest %.1f ms, median %.1f ms, slowest %.1f ms\n",
                    1000 * wire.pageSeconds.front(),
                    1000 * wire.pageSeconds[wire.pageSeconds.size() / 2],
                    1000 * wire.pageSeconds.back());
    }
    port.close();
    return 0;
}
