#include "platform/virtual/virtualtime.h"

namespace pkivo {

void VirtualTime::at(Millis time, std::function<void()> event) {
    m_events.emplace(time, std::move(event));
}

bool VirtualTime::runNextBefore(Millis limit) {
    auto next = m_events.begin();
    if (next == m_events.end() || next->first >= limit) {
        return false;
    }
    m_clock.advanceTo(next->first);
    std::function<void()> event = std::move(next->second);
    m_events.erase(next);
    event();
    return true;
}

bool VirtualTime::waitUntil(const std::function<bool()>& done, Millis deadline) {
    for (;;) {
        if (done()) {
            return true;
        }
        if (now() >= deadline) {
            return false;
        }
        if (!runNextBefore(deadline)) {
            m_clock.advanceTo(deadline);
        }
    }
}

void VirtualTime::runUntil(Millis time) {
    while (runNextBefore(time + Millis(1))) {
    }
    m_clock.advanceTo(time);
}

} // namespace pkivo
