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

    // Returns true when `done()` holds, false once clock().now() has reached `deadline`
    // (a wait of 2 s started at t ends at t + 2 s). `done()` is looked at when the wait starts,
    // after every wake() and again right before returning true, so a condition that held for
    // a moment but was undone by a nested wait (another window's exchange took the characters)
    // does not end the wait.
    // Waits nest: a wait started while another is running (a click handled meanwhile) must end
    // before the outer one can return.
    virtual bool waitUntil(const std::function<bool()>& done, Millis deadline) = 0;
    // Something a waiting `done()` depends on may have changed (characters arrived, a flag
    // was switched): look again.
    virtual void wake() = 0;
    virtual const Clock& clock() const = 0;
};

} // namespace pkivo
