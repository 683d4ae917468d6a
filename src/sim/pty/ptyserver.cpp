#include "sim/pty/ptyserver.h"

#include "sim/portlink.h"
#include "sim/statefile.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace pkivo::sim {

namespace {
// Output nobody reads (no console has the port open) is dropped beyond this much.
constexpr size_t pendingLimit = 64 * 1024;
constexpr int saveDelayMs = 1000;
} // namespace

PtyServer::PtyServer(SimOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)),
      m_protocol(std::make_unique<Protocol>(m_machine, m_options.protocol)) {
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(saveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &PtyServer::saveState);
}

PtyServer::~PtyServer() {
    stop();
}

std::string PtyServer::linkPath() const {
    return m_port > 0 ? portLinkPath(m_port) : "";
}

std::string PtyServer::statePath() const {
    return m_options.statePath.empty() ? defaultStatePath() : m_options.statePath;
}

bool PtyServer::start(std::string& error) {
    if (!loadStateFile(m_machine, statePath(), error)) {
        return false;
    }
    m_savedGeneration = m_machine.nonVolatileGeneration();

    char name[128] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        error = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    // Raw before anything is written, or the slave would echo the controller's own output
    // back to it. The slave stays open for good: without it the master reports hang-up
    // whenever no console has the port open.
    termios mode{};
    tcgetattr(m_slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(m_slave, TCSANOW, &mode);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    fcntl(m_master, F_SETFD, FD_CLOEXEC);
    fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_device = name;

    const auto port = linkPort(m_device, m_options.port, error);
    if (!port) {
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
        return false;
    }
    m_port = *port;

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyServer::readInput);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyServer::writePending);
    // The next character's time, to the microsecond: a millisecond timer would add up to a
    // millisecond at every turn of an exchange, and a paced line would run slower than its baud.
    m_timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timerFd < 0) {
        error = std::string("cannot create a timer: ") + std::strerror(errno);
        stop();
        return false;
    }
    m_timerNotifier = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
    connect(m_timerNotifier, &QSocketNotifier::activated, this, [this] {
        uint64_t expirations = 0;
        [[maybe_unused]] const ssize_t got = ::read(m_timerFd, &expirations, sizeof expirations);
        pump();
    });

    m_machine.powerUp(now());
    pump();
    return true;
}

void PtyServer::stop() {
    if (m_master < 0) {
        return;
    }
    m_saveTimer.stop();
    delete m_readNotifier;
    delete m_writeNotifier;
    delete m_timerNotifier;
    m_readNotifier = m_writeNotifier = m_timerNotifier = nullptr;
    ::close(m_timerFd);
    m_timerFd = -1;
    unlinkPort(m_port, m_device);
    if (m_machine.nonVolatileGeneration() != m_savedGeneration) {
        saveState();
    }
    ::close(m_master);
    ::close(m_slave);
    m_master = m_slave = -1;
}

void PtyServer::readInput() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        m_protocol->receive(std::string_view(buffer, size_t(got)), now());
    }
    pump();
}

Micros PtyServer::now() const {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

void PtyServer::pump() {
    const Micros at = now();
    m_protocol->advance(at);
    m_pending += m_protocol->takeDue(at);
    writePending();

    if (m_machine.nonVolatileGeneration() != m_savedGeneration && !m_saveTimer.isActive()) {
        m_saveTimer.start();
    }
    // Armed for the next event on the same clock as now(), or disarmed (all zero).
    itimerspec next{};
    if (const auto event = m_protocol->nextEventMicros()) {
        const auto due = std::max(*event, now() + Micros(1));
        next.it_value.tv_sec = time_t(due.count() / 1000000);
        next.it_value.tv_nsec = long(due.count() % 1000000) * 1000;
    }
    timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &next, nullptr);
}

void PtyServer::writePending() {
    while (!m_pending.empty()) {
        const ssize_t put = ::write(m_master, m_pending.data(), m_pending.size());
        if (put <= 0) {
            break;
        }
        m_pending.erase(0, size_t(put));
    }
    if (m_pending.size() > pendingLimit) {
        // Nobody is reading the port: drop what waits on both sides, as a line would.
        tcflush(m_slave, TCIFLUSH);
        m_pending.clear();
    }
    m_writeNotifier->setEnabled(!m_pending.empty());
}

void PtyServer::saveState() {
    std::string error;
    const uint64_t generation = m_machine.nonVolatileGeneration();
    if (saveStateFile(m_machine, statePath(), error)) {
        m_savedGeneration = generation;
    } else {
        emit stateSaveFailed(QString::fromStdString(error));
    }
}

} // namespace pkivo::sim
