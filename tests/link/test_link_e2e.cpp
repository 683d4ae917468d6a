// The link end to end: the console's routines over QSerialPort and a real pseudo-terminal,
// with a controller on the far side, on the wall clock.
#include "link/link.h"
#include "link/packets.h"
#include "minicontroller.h"
#include "platform/eventloopwaiter.h"
#include "platform/qtserialport.h"
#include "recordingui.h"
#include "stdstringtesting.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

struct Console {
    Console() {
        controller = std::make_unique<test::MiniController>();
        test::linkPortNumber(4, controller->peer.slavePath(), home.path());
    }
    ConnectResult connect(const std::string& comport = "04") {
        PortSettings settings;
        settings.comport = comport;
        return link.opencomport(settings, ui);
    }
    Millis now() const { return waiter.clock().now(); }

    QObject context; // owns the test's own timers
    test::TempHome home;
    std::unique_ptr<test::MiniController> controller;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link{port, waiter};
    test::RecordingUi ui;
};

} // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void connectsByNumberAndBySearch_data() {
        QTest::addColumn<QString>("comport");
        QTest::addColumn<QString>("boardinfo");
        QTest::newRow("fixed") << "04"
                               << " Version 1.23.   Port: 04";
        QTest::newRow("search") << "00"
                                << " Version 1.23.   Port: 4";
    }
    void connectsByNumberAndBySearch() {
        QFETCH(QString, comport);
        QFETCH(QString, boardinfo);
        Console c;
        // Ports 1 to 3 are the machine's own: link them away so the search cannot touch them.
        for (int n = 1; n <= 3; ++n) {
            test::linkPortNumber(n, c.home.file("none"), c.home.path());
        }
        QCOMPARE(c.connect(comport.toStdString()), ConnectResult::Connected);
        QCOMPARE(QString::fromStdString(c.link.boardinfo()), boardinfo);
        QCOMPARE(c.controller->packets.front(), std::string(packet::versionRequest.substr(1)));
        QVERIFY(c.ui.messages.empty());
    }

    void longAndShortCommands() {
        Console c;
        QCOMPARE(c.connect(), ConnectResult::Connected);
        LinkGlobals& g = c.link.globals();
        g.packet = packet::readInstruction(10);
        c.link.rawsender();
        QCOMPARE(g.errcode, std::string("0"));
        QVERIFY(g.packet.starts_with("OV0R15REPLY"));
        QCOMPARE(g.packetstatus, std::string("A Valid packet has been received"));

        packet::putDocomaxFields(packet::readParameters(), g);
        c.link.docomax();
        QCOMPARE(g.errcode, std::string("0"));
        QVERIFY(g.packet.starts_with("OV0R1RREPLY"));

        g.packet = packet::readRam(0x10);
        c.link.smallcomax();
        QCOMPARE(g.packet, std::string("OR1234ABH"));
        QCOMPARE(g.errcode, std::string("0"));

        g.packdata = packet::packedWriteData(5, std::string(64, 'F'));
        c.link.packwriter();
        QCOMPARE(g.errcode, std::string("0"));

        g.packet = packet::readPacked(5);
        c.link.packreceiver();
        QCOMPARE(g.errcode, std::string("0"));
        QVERIFY(g.packdata.starts_with("OV0R1CREPLY"));
        QCOMPARE(c.controller->packets.back(), packet::readPacked(5));
    }

    void writesAFlashPage() {
        Console c;
        QCOMPARE(c.connect(), ConnectResult::Connected);
        LinkGlobals& g = c.link.globals();
        g.timedout = false;
        g.packdata = "00003" + std::string(528, 'F');
        g.packet.clear();
        c.link.flashwait();
        QVERIFY(!g.timedout);
        QVERIFY(packet::isPageWritten(g.packet));
        QCOMPARE(c.controller->packets.back(), g.packdata);
    }

    void receivesAStatusStream() {
        Console c;
        c.controller->statusRecords = {"AB000A00030001100000000C", "AB000B00030001100000000D",
                                       "AB000C00030001100000000E"};
        QCOMPARE(c.connect(), ConnectResult::Connected);
        LinkGlobals& g = c.link.globals();
        g.packet = packet::runProgram(0);
        c.link.sendonly();
        c.link.setMonitoring(true);
        std::vector<std::string> seen;
        for (;;) {
            c.link.waitstatus();
            if (g.tempstr1.size() < 24 || !g.monitoring) {
                break;
            }
            seen.push_back(g.tempstr1.substr(0, 24));
            if (seen.size() == 3) {
                QTimer::singleShot(10, &c.context, [&] { c.link.setMonitoring(false); });
            }
        }
        QCOMPARE(seen, c.controller->statusRecords);
    }

    void pulledLineEndsTheWaitAndReconnectRecovers() {
        Console c;
        QCOMPARE(c.connect(), ConnectResult::Connected);
        LinkGlobals& g = c.link.globals();
        c.controller->replyDelayMs = 5000;
        QTimer::singleShot(100, &c.context, [&] { c.controller->peer.hangUp(); });
        g.packet = packet::readInstruction(1);
        const Millis start = c.now();
        c.link.rawsender();
        QCOMPARE(g.errcode, std::string("7"));
        QCOMPARE(g.errtext, std::string("Serial port not open"));
        QVERIFY(c.now() - start < 2s);
        // Every routine now reports the same at once.
        g.packet = packet::readRam(1);
        c.link.smallcomax();
        QCOMPARE(g.errcode, std::string("7"));
        QCoreApplication::processEvents();

        c.controller = std::make_unique<test::MiniController>();
        test::linkPortNumber(4, c.controller->peer.slavePath(), c.home.path());
        QCOMPARE(c.connect(), ConnectResult::Connected);
        g.packet = packet::readInstruction(1);
        c.link.rawsender();
        QCOMPARE(g.errcode, std::string("0"));
    }

    void secondExchangeIsRefusedWhileOneWaits() {
        Console c;
        QCOMPARE(c.connect(), ConnectResult::Connected);
        LinkGlobals& g = c.link.globals();
        c.controller->replyDelayMs = 200;
        std::string innerCode;
        size_t packetsBefore = 0;
        QTimer::singleShot(50, &c.context, [&] {
            packetsBefore = c.controller->packets.size();
            g.packet = packet::readRam(2);
            c.link.smallcomax();
            innerCode = g.errcode;
        });
        g.packet = packet::readInstruction(1);
        c.link.rawsender();
        QCOMPARE(innerCode, std::string("B"));
        QCOMPARE(c.controller->packets.size(), packetsBefore);
        QCOMPARE(g.errcode, std::string("0"));
        QVERIFY(g.packet.starts_with("OV0R15REPLY"));
    }
};

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "test_link_e2e.moc"
