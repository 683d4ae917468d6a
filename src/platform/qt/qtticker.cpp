#include "platform/qt/qtticker.h"

namespace pkivo {

QtTicker::QtTicker() {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        if (m_tick) {
            m_tick();
        }
    });
}

void QtTicker::start(Millis interval, std::function<void()> tick) {
    m_tick = std::move(tick);
    m_timer.start(std::chrono::milliseconds(interval));
}

} // namespace pkivo
