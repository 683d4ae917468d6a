#include "sim/simport.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace pkivo::sim {

SimulatedPort::SimulatedPort(Protocol& protocol, const Clock& clock)
    : m_protocol(protocol), m_clock(clock) {}

bool validPortSettings(const std::string& settings) {
    std::vector<std::string> parts;
    std::istringstream in(settings);
    for (std::string part; std::getline(in, part, ',');) {
        parts.push_back(part);
    }
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 7 &&
               s.find_first_not_of("0123456789") == std::string::npos;
    };
    return parts.size() == 4 && digits(parts[0]) && std::stoi(parts[0]) > 0 &&
           parts[1].size() == 1 &&
           std::string("nNeEoOmMsS").find(parts[1][0]) != std::string::npos &&
           (parts[2] == "5" || parts[2] == "6" || parts[2] == "7" || parts[2] == "8") &&
           (parts[3] == "1" || parts[3] == "2");
}

bool SimulatedPort::setSettings(const std::string& settings) {
    return validPortSettings(settings);
}

bool SimulatedPort::open() {
    if (m_onlyPort && *m_onlyPort != m_commPort) {
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
    m_protocol.receive(text, m_clock.now());
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
    const Millis now = m_clock.now();
    m_protocol.advance(now);
    const std::string arrived = m_protocol.takeDue(now);
    if (!m_open || arrived.empty()) {
        return false;
    }
    m_in += arrived;
    return true;
}

void SimulatedPort::poll() {
    if (collect()) {
        notifyActivity();
    }
}

void SimulatedPort::loseLine() {
    m_open = false;
    m_lineLost = true;
    notifyActivity();
}

} // namespace pkivo::sim
