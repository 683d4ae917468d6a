// The virtual controller's time base: microseconds, so that one character at 57600 baud
// (about 174 µs) can be placed exactly. Callers hand in the console clock's milliseconds.
#pragma once

#include "platform/clock.h"

#include <chrono>

namespace pkivo::sim {

using Micros = std::chrono::microseconds;

inline Micros toMicros(Millis ms) {
    return std::chrono::duration_cast<Micros>(ms);
}
// Rounded up, so that whatever is due at the returned millisecond has really come due.
inline Millis toMillisCeil(Micros us) {
    return std::chrono::ceil<Millis>(us);
}

} // namespace pkivo::sim
