// The console's ticker: a precise QTimer on the event loop (it also ticks inside the nested
// loop of a wait).
#pragma once

#include "platform/ticker.h"

#include <QTimer>

namespace pkivo {

class QtTicker : public Ticker {
public:
    QtTicker();
    void start(Millis interval, std::function<void()> tick) override;
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_tick;
};

} // namespace pkivo
