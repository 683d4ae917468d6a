// A repeating timer: the handler runs every interval until stop(). The console's ticks on the
// event loop, the tests' on virtual time; nothing ticks while stopped.
#pragma once

#include "platform/clock.h"

#include <functional>

namespace pkivo {

class Ticker {
public:
    virtual ~Ticker() = default;
    // Starts ticking every `interval`, the first tick one interval from now; a ticker already
    // running starts over.
    virtual void start(Millis interval, std::function<void()> tick) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

} // namespace pkivo
