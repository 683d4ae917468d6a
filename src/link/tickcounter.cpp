#include "link/tickcounter.h"

#include <algorithm>

namespace pkivo {

TickCounter::TickCounter(const Clock& clock, Millis interval)
    : m_clock(clock), m_interval(interval) {}

void TickCounter::enable() {
    if (!m_enabled) {
        m_enabled = true;
        m_origin = m_clock.now();
        m_setAt = m_origin;
    }
}

void TickCounter::set(int count) {
    m_value = count;
    m_setAt = m_clock.now();
}

long long TickCounter::ticksUpTo(Millis time) const {
    return (time - m_origin).count() / m_interval.count();
}

int TickCounter::count() const {
    if (!m_enabled) {
        return m_value;
    }
    long long elapsed = ticksUpTo(m_clock.now()) - ticksUpTo(m_setAt);
    return int(std::max<long long>(0, m_value - elapsed));
}

Millis TickCounter::zeroAt() const {
    if (!m_enabled) {
        return Millis::max();
    }
    if (m_value <= 0) {
        return m_setAt;
    }
    return m_origin + m_interval * (ticksUpTo(m_setAt) + m_value);
}

} // namespace pkivo
