// `Timer1` and its `tickcount`: a counter that drops by one every 75 ms tick of the main
// window's timer and stops at 0. The ticks are derived from the clock rather than delivered
// as timer events, so a wait for "tickcount below 1" is an ordinary deadline: it costs nothing
// while waiting and runs exactly on virtual time in tests. The ticks keep the phase of the
// first enable(), as a running window timer does.
#pragma once

#include "platform/clock.h"

namespace pkivo {

class TickCounter {
public:
    explicit TickCounter(const Clock& clock, Millis interval = Millis(75));

    // Timer1.Enabled = True. The first call starts the ticks; later calls change nothing.
    void enable();
    bool isEnabled() const { return m_enabled; }
    // tickcount = count, from now on.
    void set(int count);
    // tickcount now.
    int count() const;
    // The moment count() reaches 0 (now, when it is 0 already); never while disabled.
    Millis zeroAt() const;

private:
    long long ticksUpTo(Millis time) const;

    const Clock& m_clock;
    Millis m_interval;
    bool m_enabled = false;
    Millis m_origin{0};
    int m_value = 0;
    Millis m_setAt{0};
};

} // namespace pkivo
