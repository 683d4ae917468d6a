#include "sim/virtualtime.h"

#include <algorithm>

namespace pkivo::sim {

bool VirtualWaiter::waitUntil(const std::function<bool()>& done, Millis deadline) {
    for (;;) {
        m_port.poll();
        if (done()) {
            return true;
        }
        const Millis now = m_clock.now();
        if (now >= deadline) {
            return false;
        }
        Millis next = deadline;
        if (const auto event = m_port.nextEventTime()) {
            next = std::clamp(*event, now + Millis(1), deadline);
        }
        m_clock.set(next);
    }
}

} // namespace pkivo::sim
