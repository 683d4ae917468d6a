#include "platform/virtual/virtualticker.h"

namespace pkivo {

void VirtualTicker::start(Millis interval, std::function<void()> tick) {
    ++m_generation;
    m_interval = interval;
    m_tick = std::move(tick);
    m_active = true;
    schedule();
}

void VirtualTicker::schedule() {
    const int generation = m_generation;
    m_time.after(m_interval, [this, generation] {
        if (generation != m_generation) {
            return;
        }
        schedule();
        m_tick();
    });
}

} // namespace pkivo
