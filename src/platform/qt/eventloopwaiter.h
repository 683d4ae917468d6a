// The console's waiter: a nested event loop that ends when the awaited condition holds (looked
// at whenever the port reports activity or wake() is called) or at the deadline, by a precise
// single-shot timer. Windows repaint and timers run meanwhile; no CPU is used.
#pragma once

#include "platform/clock.h"
#include "platform/waiter.h"

#include <vector>

namespace pkivo {

class EventLoopWaiter : public Waiter {
public:
    EventLoopWaiter() = default;
    EventLoopWaiter(const EventLoopWaiter&) = delete;
    EventLoopWaiter& operator=(const EventLoopWaiter&) = delete;

    // Also false when the event loop refuses to run (the application is quitting): a wait
    // then ends at once instead of spinning until its deadline.
    bool waitUntil(const std::function<bool()>& done, Millis deadline) override;
    void wake() override;
    const Clock& clock() const override { return m_clock; }

private:
    struct ActiveWait;

    SteadyClock m_clock;
    std::vector<ActiveWait*> m_active;
};

} // namespace pkivo
