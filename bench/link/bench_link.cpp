// Link benchmarks over a real pseudo-terminal: the CPU a wait uses while no reply comes, how
// close rawsender comes to the line's own time against the virtual controller pacing 57,600
// baud, and its exchanges per second against the controller answering at once.
// Prints figures; asserts nothing.
#include "link/link.h"
#include "link/packets.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "sim/pty/ptyserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The virtual controller on port 6 of a throwaway home, served in this event loop, and the
// console's link to it.
struct Desk {
    explicit Desk(const sim::ProtocolOptions& protocol) : controller(options(protocol)) {
        std::string error;
        if (!controller.start(error)) {
            std::fprintf(stderr, "virtual controller: %s\n", error.c_str());
            std::exit(1);
        }
        port.setSettings(std::to_string(protocol.baud) + ",n,8,1");
        port.setCommPort(controller.portNumber());
        if (!port.open()) {
            std::fprintf(stderr, "cannot open %s\n", controller.linkPath().c_str());
            std::exit(1);
        }
    }
    ~Desk() { port.close(); }
    sim::SimOptions options(const sim::ProtocolOptions& protocol) {
        qputenv("HOME", home.path().toUtf8());
        sim::SimOptions o;
        o.port = 6;
        o.protocol = protocol;
        return o;
    }

    QTemporaryDir home;
    sim::PtyServer controller;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link{port, waiter};
};

struct ControllerRun {
    double seconds = 0, cpu = 0;
    size_t characters = 0; // on the line, both ways
    int failures = 0;
    int attentions = 0;
};

// `exchanges` R15 exchanges through rawsender against the virtual controller; `pace`: its
// line takes 10 bits a character at `baud`.
ControllerRun againstController(int exchanges, bool pace, int baud) {
    Desk desk({.pace = pace, .baud = baud, .faults = {}});
    ControllerRun run;
    LinkGlobals& g = desk.link.globals();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < exchanges; ++i) {
        const std::string request = packet::readInstruction(uint32_t(i % 16));
        g.packet = request;
        desk.link.rawsender();
        run.failures += g.errcode != "0";
        // "&", the attention answer, "$" + request, the reply.
        run.characters += 1 + g.tempstr1.size() + 1 + request.size() + g.packet.size();
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpu = cpuSeconds() - cpuStart;
    run.attentions = desk.controller.protocol().counters().attentions;
    return run;
}

void idleWait() {
    Desk desk({.faults = {.silent = true}});
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    desk.waiter.waitUntil([&] { return !desk.port.isOpen() || desk.port.inBufferCount() >= 64; },
                          desk.waiter.clock().now() + 2s);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("idle: a 2 s wait for a reply that never comes took %.3f s wall, %.4f s CPU "
                "= %.3f %% of one core\n",
                seconds, cpu, cpu / seconds * 100.0);
}

// Wire time: 1,000 exchanges with the controller pacing its line at 57,600 baud, against the
// time their characters need on that line ("&", ":", "$" and the request, the reply; 10 bits
// a character). The same exchanges unpaced show how much of the difference is the console's,
// the pseudo-terminal's and the controller's own processing.
void wireTime() {
    constexpr int baud = 57600;
    constexpr int exchanges = 1000;
    const ControllerRun paced = againstController(exchanges, true, baud);
    const double wire = double(paced.characters) * 10.0 / baud;
    const double over = paced.seconds - wire;
    std::printf("wire time: %d rawsender exchanges at %d baud took %.3f s; their %zu characters "
                "need %.3f s on the line; difference %+.3f s = %+.2f %% (%+.0f us per exchange; "
                "%d failed, %d attentions)\n",
                exchanges, baud, paced.seconds, paced.characters, wire, over, over / wire * 100.0,
                over / exchanges * 1e6, paced.failures, paced.attentions);
    // The console's side of the line at 921,600 baud: closing the port waits out the line time
    // of what was sent, which at 57,600 baud the unpaced controller never needed.
    const ControllerRun unpaced = againstController(exchanges, false, 921600);
    std::printf("wire time: the same exchanges unpaced took %.3f s = %.0f exchanges/s (%.0f us "
                "each, CPU %.3f s with the controller's own, %d failed): the processing share of "
                "the difference\n",
                unpaced.seconds, exchanges / unpaced.seconds, unpaced.seconds / exchanges * 1e6,
                unpaced.cpu, unpaced.failures);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    idleWait();
    wireTime();
    return 0;
}
