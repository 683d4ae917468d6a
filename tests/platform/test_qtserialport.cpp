// The serial device backend and the event-loop waiter over a real pseudo-terminal: a wait ends
// when the characters are there, when the line goes away, or at its deadline.
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "ptypeer.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

struct PortOnPty {
    PortOnPty() {
        linked = test::linkPortNumber(9, peer.slavePath(), home.path());
        port.setActivityHandler([this] { waiter.wake(); });
        port.setCommPort(9);
        port.setSettings("57600,n,8,1");
    }
    test::TempHome home;
    test::PtyPeer peer;
    QtSerialPort port;
    EventLoopWaiter waiter;
    bool linked = false;
};

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT

private slots:
    void exchangesCharactersThroughTheLinkedNumber() {
        PortOnPty p;
        QVERIFY(p.linked);
        p.peer.setResponder([](std::string& received) {
            std::string reply = received == "&" ? ":" : "";
            received.clear();
            return reply;
        });
        QVERIFY(p.port.open());
        QVERIFY(p.port.output("&"));
        QCOMPARE(p.port.outBufferCount(), 0);
        const Millis deadline = p.waiter.clock().now() + 5s;
        QVERIFY(p.waiter.waitUntil([&] { return p.port.inBufferCount() >= 1; }, deadline));
        QCOMPARE(p.port.input(), std::string(":"));
        QCOMPARE(p.peer.transcript(), std::string("&"));
    }

    void dropsInputThatWaitedBeforeTheOpen() {
        PortOnPty p;
        p.peer.send("stale");
        QVERIFY(p.port.open());
        QCoreApplication::processEvents();
        QCOMPARE(p.port.inBufferCount(), 0);
    }

    void numberWithoutDeviceDoesNotOpen() {
        test::TempHome home;
        QtSerialPort port;
        port.setSettings("57600,n,8,1");
        port.setCommPort(77);
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
    }

    void lostLineEndsTheWait() {
        PortOnPty p;
        QVERIFY(p.port.open());
        QTimer::singleShot(0, [&] { p.peer.hangUp(); });
        const Millis start = p.waiter.clock().now();
        bool arrived = p.waiter.waitUntil(
            [&] { return !p.port.isOpen() || p.port.inBufferCount() >= 1; }, start + 10s);
        QVERIFY(arrived);
        QVERIFY(p.port.lineLost());
        QVERIFY(!p.port.isOpen());
        QVERIFY(p.waiter.clock().now() - start < 2s);
        QVERIFY(!p.port.output("&"));
    }

    void waitEndsAtItsDeadline() {
        EventLoopWaiter waiter;
        const Millis start = waiter.clock().now();
        QVERIFY(!waiter.waitUntil([] { return false; }, start + 20ms));
        QVERIFY(waiter.clock().now() >= start + 20ms);
        QVERIFY(!waiter.waitUntil([] { return false; }, start));
    }

    // A wait whose condition held only for a moment (a nested wait took the characters) goes
    // on waiting.
    void nestedWaitThatTakesTheInputKeepsTheOuterWaiting() {
        EventLoopWaiter waiter;
        int available = 0;
        bool innerDone = false;
        QTimer::singleShot(0, [&] {
            available = 1;
            waiter.wake();
            // the inner wait takes the character and returns
            innerDone = waiter.waitUntil([&] { return available >= 1; }, waiter.clock().now() + 1s);
            available = 0;
            QTimer::singleShot(0, [&] {
                available = 1;
                waiter.wake();
            });
        });
        const Millis start = waiter.clock().now();
        QVERIFY(waiter.waitUntil([&] { return available >= 1; }, start + 5s));
        QVERIFY(innerDone);
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qtserialport.moc"
