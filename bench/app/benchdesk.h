// What the console benchmarks share: an offscreen desk in a throwaway home folder, message boxes
// on stderr, and the virtual controller on a pseudo-terminal at a given pace.
#pragma once

#include "platform/uiservices.h"
#include "sim/pty/ptyserver.h"

#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace pkivo::bench {

// Make one before the QApplication: no display is needed and nothing of the user's home is
// touched.
struct OffscreenHome {
    OffscreenHome() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("HOME", dir.path().toUtf8());
    }
    QTemporaryDir dir;
};

struct PrintingUi : UiServices {
    void messageBox(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool question(const std::string&) override { return false; }
    void endProgram() override { std::exit(1); }
};

// The virtual controller on port 1; the benchmark ends when it cannot start.
inline std::unique_ptr<sim::PtyServer> startController(bool pace, int baud) {
    sim::SimOptions options;
    options.port = 1;
    options.protocol.pace = pace;
    options.protocol.baud = baud;
    auto server = std::make_unique<sim::PtyServer>(options);
    std::string error;
    if (!server->start(error)) {
        std::fprintf(stderr, "virtual controller: %s\n", error.c_str());
        std::exit(1);
    }
    return server;
}

// The virtual controller on a thread of its own, as a controller is a device of its own: its
// timing does not wait on the console's painting. Read it only through onController().
class ControllerThread : public QThread {
public:
    ControllerThread(bool pace, int baud) : m_pace(pace), m_baud(baud) {
        start();
        m_ready.acquire();
    }
    ~ControllerThread() override {
        quit();
        wait();
    }
    template <class F> auto onController(F f) {
        decltype(f(*m_server)) result{};
        QMetaObject::invokeMethod(
            m_server.get(), [&] { result = f(*m_server); }, Qt::BlockingQueuedConnection);
        return result;
    }

private:
    void run() override {
        m_server = startController(m_pace, m_baud);
        m_ready.release();
        exec();
        m_server.reset();
    }
    bool m_pace;
    int m_baud;
    QSemaphore m_ready;
    std::unique_ptr<sim::PtyServer> m_server;
};

} // namespace pkivo::bench
