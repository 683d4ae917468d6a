// "Wait until this holds or the deadline passes", the only way the program waits for the
// controller. The console's waiter runs a nested event loop (windows and timers stay live,
// no CPU is used); the tests' waiter runs on virtual time.
#pragma once

#include "platform/clock.h"

#include <functional>

namespace pkivo {

class Waiter {
public:
    virtual ~Waiter() = default;

    // Returns true as soon as `done()` holds, false once clock().now() is past `deadline`.
    // `done()` is looked at when the wait starts and after every wake().
    virtual bool waitUntil(const std::function<bool()>& done, Millis deadline) = 0;
    // Something a waiting `done()` depends on may have changed (characters arrived, a flag
    // was switched): look again.
    virtual void wake() = 0;
    virtual const Clock& clock() const = 0;
};

} // namespace pkivo
