// Serves the virtual controller on a pseudo-terminal: the console opens the linked
// dosdevices/com<n> as if it were a serial port. Runs in a Qt event loop (a socket notifier
// for input, a timer descriptor for whatever the controller sends next), so it works both in the
// pkivo-sim executable and inside a test's own QCoreApplication next to the console's link.
#pragma once

#include "platform/clock.h"
#include "sim/machine.h"
#include "sim/protocol.h"
#include "sim/simoptions.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

class QSocketNotifier;

namespace pkivo::sim {

class PtyServer : public QObject {
    Q_OBJECT

public:
    explicit PtyServer(SimOptions options, QObject* parent = nullptr);
    ~PtyServer() override;

    // Loads the saved state, opens the pseudo-terminal, links com<n> and powers the controller
    // up. False with a message when any of that fails (nothing is left behind then).
    bool start(std::string& error);
    // Removes the link, saves the state and closes the pseudo-terminal. Also done on
    // destruction; calling it twice does nothing.
    void stop();

    int portNumber() const { return m_port; }
    const std::string& devicePath() const { return m_device; }
    std::string linkPath() const;
    std::string statePath() const;
    Machine& machine() { return m_machine; }
    Protocol& protocol() { return *m_protocol; }

signals:
    // A save of the state failed; the controller goes on serving.
    void stateSaveFailed(const QString& message);

private:
    void readInput();
    void pump();
    void writePending();
    void saveState();
    // The controller's time: the monotonic clock to the microsecond.
    Micros now() const;

    SimOptions m_options;
    Machine m_machine;
    std::unique_ptr<Protocol> m_protocol;
    int m_master = -1;
    int m_slave = -1;
    int m_port = 0;
    std::string m_device;
    std::string m_pending;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QSocketNotifier* m_timerNotifier = nullptr;
    int m_timerFd = -1;
    QTimer m_saveTimer;
    uint64_t m_savedGeneration = 0;
};

} // namespace pkivo::sim
