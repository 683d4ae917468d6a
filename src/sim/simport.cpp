#include "sim/simport.h"

#include "platform/serialsettings.h"

#include <algorithm>

namespace pkivo::sim {

SimulatedPort::SimulatedPort(Protocol& protocol, VirtualTime& time)
    : m_protocol(protocol), m_time(time) {}

bool SimulatedPort::setSettings(const std::string& settings) {
    return parseSerialSettings(settings).has_value();
}

bool SimulatedPort::open() {
    // A pulled cable takes the device with it: there is nothing to open.
    if (m_protocol.linePulled()) {
        return false;
    }
    poll(); // what the controller sent while nobody listened is gone
    m_in.clear();
    m_open = true;
    m_lineLost = false;
    return true;
}

void SimulatedPort::close() {
    m_open = false;
}

bool SimulatedPort::output(const std::string& text) {
    if (!m_open) {
        return false;
    }
    m_protocol.receive(text, m_time.now());
    poll();
    return true;
}

int SimulatedPort::inBufferCount() const {
    collect();
    return int(m_in.size());
}

std::string SimulatedPort::input() {
    poll();
    std::string taken;
    taken.swap(m_in);
    return taken;
}

bool SimulatedPort::collect() const {
    const Millis now = m_time.now();
    m_protocol.advance(now);
    const std::string arrived = m_protocol.takeDue(now);
    if (!m_open || arrived.empty()) {
        return false;
    }
    m_in += arrived;
    return true;
}

void SimulatedPort::poll() {
    const bool arrived = collect();
    if (m_open && m_protocol.linePulled()) {
        loseLine();
    } else if (arrived) {
        notifyActivity();
    }
    scheduleNextPoll();
}

void SimulatedPort::scheduleNextPoll() {
    const std::optional<Millis> next = m_protocol.nextEventTime();
    if (next && *next != m_scheduled) {
        m_scheduled = *next;
        m_time.at(std::max(*next, m_time.now()), [this] { poll(); });
    }
}

void SimulatedPort::loseLine() {
    m_open = false;
    m_lineLost = true;
    notifyActivity();
}

} // namespace pkivo::sim
