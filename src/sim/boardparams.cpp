#include "sim/boardparams.h"

#include <algorithm>

namespace pkivo::sim {

BoardParams::Bytes BoardParams::defaults() {
    Bytes bytes{};
    bytes[flagsByte] = 0x04;
    bytes[reportRateByte] = defaultReportRate;
    bytes[minPulseByte] = 0x01; // 500
    bytes[minPulseByte + 1] = 0xF4;
    bytes[maxPulseByte] = 0x09; // 2500
    bytes[maxPulseByte + 1] = 0xC4;
    bytes[activeServosByte] = 0xFF;
    return bytes;
}

int BoardParams::reportRate() const {
    int rate = m_bytes[reportRateByte];
    return rate == 0 ? defaultReportRate : std::min(rate, maxReportRate);
}

} // namespace pkivo::sim
