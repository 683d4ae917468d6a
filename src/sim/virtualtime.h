// Virtual time for running the console against the in-process virtual controller: a clock
// that moves only when told, and a waiter that moves it straight to the next thing the
// controller does (or to the deadline), so a 6-second wait costs no wall time.
#pragma once

#include "platform/clock.h"
#include "platform/waiter.h"
#include "sim/machine.h"
#include "sim/protocol.h"
#include "sim/simport.h"

namespace pkivo::sim {

class VirtualClock : public Clock {
public:
    Millis now() const override { return m_now; }
    void set(Millis t) { m_now = t; }
    void advance(Millis by) { m_now += by; }

private:
    Millis m_now{0};
};

class VirtualWaiter : public Waiter {
public:
    VirtualWaiter(VirtualClock& clock, SimulatedPort& port) : m_clock(clock), m_port(port) {}

    bool waitUntil(const std::function<bool()>& done, Millis deadline) override;
    void wake() override {}
    const Clock& clock() const override { return m_clock; }

private:
    VirtualClock& m_clock;
    SimulatedPort& m_port;
};

// The console's side and the controller's side wired together on virtual time, ready for a
// test: `port` and `waiter` go to the link code, `machine` and `protocol` are there to look at.
struct SimulatedLine {
    explicit SimulatedLine(ProtocolOptions options = {})
        : protocol(machine, std::move(options)), port(protocol, clock), waiter(clock, port) {
        machine.powerUp(Micros(0));
    }

    VirtualClock clock;
    Machine machine;
    Protocol protocol;
    SimulatedPort port;
    VirtualWaiter waiter;
};

} // namespace pkivo::sim
