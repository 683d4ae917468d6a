// The monotonic clock every deadline is measured on; tests replace it with virtual time.
#pragma once

#include <chrono>

namespace pkivo {

using Millis = std::chrono::milliseconds;

class Clock {
public:
    virtual ~Clock() = default;
    virtual Millis now() const = 0;
};

class SteadyClock : public Clock {
public:
    Millis now() const override {
        return std::chrono::duration_cast<Millis>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

} // namespace pkivo
