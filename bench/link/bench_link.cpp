// Link benchmarks over a real pseudo-terminal: exchanges per second of rawsender against a
// controller that answers at once, and the CPU a wait uses while no reply comes. Prints
// figures; asserts nothing.
#include "link/link.h"
#include "link/packets.h"
#include "platform/eventloopwaiter.h"
#include "platform/qtserialport.h"
#include "ptypeer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    roundTrip();
    idleWait();
    return 0;
}
