// The serial device backend and the event-loop waiter over a real pseudo-terminal. Exchanges
// through the dosdevices map and a hang-up that ends a wait are in the link's end-to-end test.
#include "platform/portdevice.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace pkivo;
using namespace std::chrono_literals;

class TestQtSerialPort : public QObject {
    Q_OBJECT

private slots:
    // "stale" waits in a pseudo-terminal linked as port 9 when the port opens.
    void dropsInputThatWaitedBeforeTheOpen() {
        test::TempHome home;
        int master = -1, slave = -1;
        char device[128] = {};
        QCOMPARE(openpty(&master, &slave, device, nullptr, nullptr), 0);
        termios raw{};
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        std::filesystem::create_directories(portLinkFolder());
        std::filesystem::create_symlink(device, portLinkFolder() + "/com9");
        QCOMPARE(::write(master, "stale", 5), ssize_t(5));
        QtSerialPort port;
        port.setCommPort(9);
        port.setSettings("57600,n,8,1");
        QVERIFY(port.open());
        QCoreApplication::processEvents();
        QCOMPARE(port.inBufferCount(), 0);
        port.close();
        ::close(master);
        ::close(slave);
    }

    void numberWithoutDeviceDoesNotOpen() {
        test::TempHome home;
        QtSerialPort port;
        port.setSettings("57600,n,8,1");
        port.setCommPort(77);
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
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
        QVERIFY(waiter.waitUntil([&] { return available >= 1; }, waiter.clock().now() + 5s));
        QVERIFY(innerDone);
    }
};

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qtserialport.moc"
