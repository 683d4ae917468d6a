#include "sim/servobank.h"

#include <algorithm>

namespace pkivo::sim {

ServoBank::ServoBank(const BoardParams& params) : m_params(params) {}

uint16_t ServoBank::limited(int64_t value) const {
    int64_t low = 0;
    int64_t high = 0xFFFF;
    if (m_params.useLimits() && m_params.minPulse() <= m_params.maxPulse()) {
        low = m_params.minPulse();
        high = m_params.maxPulse();
    }
    return uint16_t(std::clamp(value, low, high));
}

bool ServoBank::set(int servo, int64_t value) {
    if (!m_params.servoActive(servo)) {
        return false;
    }
    Servo& s = m_servos[size_t(servo - 1)];
    s.position = s.target = limited(value);
    return true;
}

uint16_t ServoBank::jog(int servo, int delta) {
    set(servo, int64_t(position(servo)) + delta);
    return position(servo);
}

void ServoBank::moveTo(const std::array<uint16_t, count>& targets,
                       const std::array<uint16_t, count>& rates) {
    for (int k = 1; k <= count; ++k) {
        Servo& s = m_servos[size_t(k - 1)];
        uint16_t target = targets[size_t(k - 1)];
        if (target == noMove || !m_params.servoActive(k)) {
            continue;
        }
        s.target = limited(target);
        s.rate = rates[size_t(k - 1)];
        if (s.rate == 0) {
            s.position = s.target;
        }
    }
}

bool ServoBank::moving() const {
    return std::any_of(m_servos.begin(), m_servos.end(),
                       [](const Servo& s) { return s.position != s.target; });
}

void ServoBank::stepFrame() {
    for (Servo& s : m_servos) {
        int distance = int(s.target) - int(s.position);
        int step = std::clamp(distance, -int(s.rate), int(s.rate));
        s.position = uint16_t(s.position + step);
    }
}

} // namespace pkivo::sim
