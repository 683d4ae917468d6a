// The virtual controller behind the console's port interface, in the same process: what the
// console writes goes straight into the controller's protocol, and what the controller sends
// becomes readable once the clock has reached the time it is due. No pseudo-terminal, no
// event loop: with a virtual clock a test runs whole exchanges in no wall time.
#pragma once

#include "platform/clock.h"
#include "platform/serialport.h"
#include "sim/protocol.h"

#include <optional>
#include <string>

namespace pkivo::sim {

class SimulatedPort : public SerialPort {
public:
    SimulatedPort(Protocol& protocol, const Clock& clock);

    void setCommPort(int number) override { m_commPort = number; }
    int commPort() const override { return m_commPort; }
    bool setSettings(const std::string& settings) override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void setRThreshold(int) override {}
    bool output(const std::string& text) override;
    int outBufferCount() const override { return 0; }
    int inBufferCount() const override;
    std::string input() override;
    bool lineLost() const override { return m_lineLost; }

    // Brings the controller up to the clock's present and collects what it has sent;
    // tells the activity handler when characters arrived.
    void poll();
    // When the controller next does anything (a character due, a program step, a report).
    std::optional<Millis> nextEventTime() const { return m_protocol.nextEventTime(); }
    // Pulls the cable: the port closes and reports the line lost.
    void loseLine();
    // Which port numbers open(); every number when not set.
    void setOnlyPort(std::optional<int> number) { m_onlyPort = number; }

private:
    // Moves what has come due into the input buffer; true when anything arrived.
    bool collect() const;

    Protocol& m_protocol;
    const Clock& m_clock;
    int m_commPort = 1;
    std::optional<int> m_onlyPort;
    bool m_open = false;
    bool m_lineLost = false;
    mutable std::string m_in;
};

// "57600,n,8,1": a baud rate, a parity letter (n, e, o, m, s), 5-8 data bits, 1 or 2 stop bits.
bool validPortSettings(const std::string& settings);

} // namespace pkivo::sim
