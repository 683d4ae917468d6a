// A ticker on virtual time: each tick is an event of the clock's queue, so it fires while
// something waits or the test runs the clock on.
#pragma once

#include "platform/ticker.h"
#include "platform/virtual/virtualtime.h"

namespace pkivo {

class VirtualTicker : public Ticker {
public:
    explicit VirtualTicker(VirtualTime& time) : m_time(time) {}
    void start(Millis interval, std::function<void()> tick) override;
    void stop() override {
        ++m_generation;
        m_active = false;
    }
    bool isActive() const override { return m_active; }

private:
    void schedule();

    VirtualTime& m_time;
    Millis m_interval{0};
    std::function<void()> m_tick;
    int m_generation = 0; // ticks scheduled before a stop or restart are dropped
    bool m_active = false;
};

} // namespace pkivo
