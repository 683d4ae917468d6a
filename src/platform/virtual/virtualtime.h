// Virtual time for tests and demos: a clock that stands still until a wait moves it, and a
// queue of events (a scripted reply arriving, a click, a lost line) that fire at their
// virtual times while something waits. A wait jumps the clock to the next event or to its
// deadline, so "four attempts of 2 s" take no wall time and end at exactly 8000 ms.
#pragma once

#include "platform/clock.h"
#include "platform/waiter.h"

#include <functional>
#include <map>
#include <utility>

namespace pkivo {

class VirtualClock : public Clock {
public:
    Millis now() const override { return m_now; }
    void advanceTo(Millis time) {
        if (time > m_now) {
            m_now = time;
        }
    }

private:
    Millis m_now{0};
};

class VirtualTime : public Waiter {
public:
    const Clock& clock() const override { return m_clock; }
    Millis now() const { return m_clock.now(); }

    // Runs `event` at `time` (at once, within the next wait, when that time has passed).
    // Events of the same time run in the order they were scheduled.
    void at(Millis time, std::function<void()> event);
    void after(Millis delay, std::function<void()> event) { at(now() + delay, std::move(event)); }

    // Events strictly before the deadline are delivered; at the deadline itself the wait ends.
    bool waitUntil(const std::function<bool()>& done, Millis deadline) override;
    // done() is looked at after every event anyway.
    void wake() override {}

    // Moves the clock to `time`, running the events due until then (outside any wait).
    void runUntil(Millis time);

private:
    bool runNextBefore(Millis limit);

    VirtualClock m_clock;
    std::multimap<Millis, std::function<void()>> m_events;
};

} // namespace pkivo
