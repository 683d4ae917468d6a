// The virtual controller behind the console's port interface, in the same process: what the
// console writes goes straight into the controller's protocol, and what the controller sends
// becomes readable once the clock has reached the time it is due. No pseudo-terminal, no
// event loop: on virtual time a test runs whole exchanges in no wall time, the clock jumping
// straight to the next thing the controller does.
#pragma once

#include "platform/serialport.h"
#include "platform/virtual/virtualtime.h"
#include "sim/machine.h"
#include "sim/protocol.h"

#include <string>

namespace pkivo::sim {

class SimulatedPort : public SerialPort {
public:
    SimulatedPort(Protocol& protocol, VirtualTime& time);

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
    // Pulls the cable: the port closes and reports the line lost. The controller's own fault
    // (FaultOptions::pullLineAtPacket) does the same at the next poll.
    void loseLine();

private:
    // Moves what has come due into the input buffer; true when anything arrived.
    bool collect() const;
    // Has the clock call poll() when the controller next does anything (a character due, a
    // program step, a report).
    void scheduleNextPoll();

    Protocol& m_protocol;
    VirtualTime& m_time;
    Millis m_scheduled{-1}; // the poll already asked of the clock
    int m_commPort = 1;
    bool m_open = false;
    bool m_lineLost = false;
    mutable std::string m_in;
};

// The console's side and the controller's side wired together on virtual time, ready for a
// test: `port` and `time` (the waiter) go to the link code, `machine` and `protocol` are there
// to look at.
struct SimulatedLine {
    explicit SimulatedLine(ProtocolOptions options = {})
        : protocol(machine, std::move(options)), port(protocol, time) {
        machine.powerUp(Micros(0));
    }

    VirtualTime time;
    Machine machine;
    Protocol protocol;
    SimulatedPort port;
};

} // namespace pkivo::sim
