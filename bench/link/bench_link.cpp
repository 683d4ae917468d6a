// Link benchmarks over a real pseudo-terminal: exchanges per second of rawsender against a
// controller that answers at once, the CPU a wait uses while no reply comes, and how close
// rawsender comes to the line's own time against the virtual controller pacing 57,600 baud.
// Prints figures; asserts nothing.
#include "link/link.h"
#include "link/packets.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "ptypeer.h"
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

// Answers "&" with ":" and every "$" + 64 characters with a 64-character reply, at once.
std::string answerAtOnce(std::string& received) {
    static const std::string reply = "OV0R15" + std::string(55, '0') + "0H~";
    std::string out;
    for (;;) {
        if (!received.empty() && received.front() == '&') {
            received.erase(0, 1);
            out += ':';
        } else if (received.size() >= 65 && received.front() == '$') {
            received.erase(0, 65);
            out += reply;
        } else {
            return out;
        }
    }
}

struct Bench {
    Bench() {
        qputenv("HOME", home.path().toUtf8());
        test::linkPortNumber(5, peer.slavePath(), home.path().toStdString());
        port.setSettings("57600,n,8,1");
        port.setCommPort(5);
        port.open();
    }
    QTemporaryDir home;
    test::PtyPeer peer;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link{port, waiter};
};

void roundTrip() {
    Bench b;
    b.peer.setResponder(answerAtOnce);
    const std::string request = packet::readInstruction(10);
    const int exchanges = 5000;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < exchanges; ++i) {
        b.link.globals().packet = request;
        b.link.rawsender();
        failures += b.link.globals().errcode != "0";
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("round trip: %d rawsender exchanges in %.3f s = %.0f exchanges/s "
                "(%.1f us each, CPU %.3f s, %d failed)\n",
                exchanges, seconds, exchanges / seconds, seconds / exchanges * 1e6,
                cpuSeconds() - cpuStart, failures);
}

void idleWait() {
    Bench b; // the other end never answers
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    b.waiter.waitUntil([&] { return !b.port.isOpen() || b.port.inBufferCount() >= 64; },
                       b.waiter.clock().now() + 2s);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("idle: a 2 s wait for a reply that never comes took %.3f s wall, %.4f s CPU "
                "= %.3f %% of one core\n",
                seconds, cpu, cpu / seconds * 100.0);
}

struct ControllerRun {
    double seconds = 0;
    size_t characters = 0; // on the line, both ways
    int failures = 0;
    int attentions = 0;
};

// `exchanges` R15 exchanges through rawsender against the virtual controller on a pseudo-
// terminal, served in this event loop; `pace`: its line takes 10 bits a character at `baud`.
ControllerRun againstController(int exchanges, bool pace, int baud) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    sim::SimOptions options;
    options.port = 6;
    options.protocol.pace = pace;
    options.protocol.baud = baud;
    sim::PtyServer controller(options);
    std::string error;
    if (!controller.start(error)) {
        std::fprintf(stderr, "virtual controller: %s\n", error.c_str());
        std::exit(1);
    }
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link(port, waiter);
    port.setSettings(std::to_string(baud) + ",n,8,1");
    port.setCommPort(*options.port);
    if (!port.open()) {
        std::fprintf(stderr, "cannot open %s\n", controller.linkPath().c_str());
        std::exit(1);
    }
    ControllerRun run;
    LinkGlobals& g = link.globals();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < exchanges; ++i) {
        const std::string request = packet::readInstruction(uint32_t(i % 16));
        g.packet = request;
        link.rawsender();
        run.failures += g.errcode != "0";
        // "&", the attention answer, "$" + request, the reply.
        run.characters += 1 + g.tempstr1.size() + 1 + request.size() + g.packet.size();
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.attentions = controller.protocol().counters().attentions;
    port.close();
    return run;
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
    const ControllerRun unpaced = againstController(exchanges, false, baud);
    std::printf("wire time: the same exchanges unpaced took %.3f s (%.0f us each, %d failed): "
                "the processing share of the difference\n",
                unpaced.seconds, unpaced.seconds / exchanges * 1e6, unpaced.failures);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    roundTrip();
    idleWait();
    wireTime();
    return 0;
}
