#include "platform/qt/eventloopwaiter.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace pkivo {

struct EventLoopWaiter::ActiveWait {
    const std::function<bool()>& done;
    QEventLoop& loop;
    bool woken = false;
};

bool EventLoopWaiter::waitUntil(const std::function<bool()>& done, Millis deadline) {
    for (;;) {
        if (done()) {
            return true;
        }
        const Millis now = m_clock.now();
        if (now >= deadline) {
            return false;
        }
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        ActiveWait wait{done, loop};
        QObject::connect(&timer, &QTimer::timeout, &loop, [&wait] {
            wait.woken = true;
            wait.loop.quit();
        });
        const auto remaining = std::clamp<long long>((deadline - now).count(), 1, 24 * 3600 * 1000);
        timer.start(int(remaining));
        m_active.push_back(&wait);
        loop.exec();
        m_active.erase(std::find(m_active.begin(), m_active.end(), &wait));
        if (!wait.woken) {
            // exec() returned without our timer or a wake: the application is shutting down.
            return done();
        }
    }
}

void EventLoopWaiter::wake() {
    // A copy: a done() may not start waits, but the list must survive any re-entry.
    const std::vector<ActiveWait*> active = m_active;
    for (ActiveWait* wait : active) {
        if (wait->done()) {
            wait->woken = true;
            wait->loop.quit();
        }
    }
}

} // namespace pkivo
