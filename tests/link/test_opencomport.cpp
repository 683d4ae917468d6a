// opencomport against scripted ports on virtual time: the fixed port, the port search, the
// Timer1 ticks of the connect check and every failure row.
#include "scriptedlink.h"

#include "link/packets.h"
#include "recordingui.h"

#include <QTest>

using namespace pkivo;
using S = std::string;
using namespace pkivo::test;

namespace {

const std::string versionReply = [] {
    std::string reply = "OV0R02Version 2.1.0AB";
    reply.resize(61, 'x');
    return reply + "0H~";
}();
const std::string request(packet::versionRequest);

PortSettings portSettings(const std::string& comport, const std::string& combaud = "057600") {
    PortSettings settings;
    settings.comport = comport;
    settings.combaud = combaud;
    return settings;
}

// A controller that answers at once.
void scriptController(ScriptedPort& port) {
    port.expect("&").answer(":", 2ms);
    port.expect(request).answer(versionReply, 20ms);
}

struct Connection {
    Connection() { port.close(); }
    VirtualTime time;
    ScriptedPort port{time};
    Link link{port, time};
    RecordingUi ui;
};

} // namespace

class TestOpencomport : public QObject {
    Q_OBJECT

private slots:
    void settingsText_data() {
        QTest::addColumn<std::string>("combaud");
        QTest::addColumn<std::string>("parity");
        QTest::addColumn<std::string>("text");
        QTest::newRow("default") << S("057600") << S("n") << S("57600,n,8,1");
        QTest::newRow("9600") << S("009600") << S("n") << S("9600,n,8,1");
        QTest::newRow("even") << S("019200") << S("e") << S("19200,e,8,1");
        QTest::newRow("not a number") << S("abcdef") << S("n") << S("0,n,8,1");
    }
    void settingsText() {
        QFETCH(std::string, combaud);
        QFETCH(std::string, parity);
        QFETCH(std::string, text);
        PortSettings settings = portSettings("00", combaud);
        settings.comparity = parity;
        QCOMPARE(portSettingsText(settings), text);
    }

    void fixedPortWithAController() {
        Connection c;
        scriptController(c.port);
        QCOMPARE(c.link.opencomport(portSettings("07"), c.ui), ConnectResult::Connected);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.link.boardinfo(), std::string(" Version 2.1.0   Port: 07"));
        QCOMPARE(c.port.openedPorts(), std::vector<int>{7});
        QCOMPARE(c.port.settings(), std::string("57600,n,8,1"));
        QCOMPARE(c.port.rThreshold(), 60);
        QCOMPARE(c.port.writes()[1].text.size(), size_t(68)); // 67 after the "$"
        QCOMPARE(c.link.globals().packet, versionReply);
        QCOMPARE(c.link.globals().tempstr1, std::string(":"));
        QVERIFY(c.ui.messages.empty());
        QVERIFY(c.port.isOpen());
    }

    void fixedPortFailures_data() {
        QTest::addColumn<std::string>("comport");
        QTest::addColumn<std::string>("combaud");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<std::string>("attentionReply");
        QTest::addColumn<std::string>("versionAnswer");
        QTest::addColumn<bool>("openAfter");
        QTest::addColumn<int>("endsAt");
        QTest::newRow("settings rejected")
            << S("07") << S("000000") << true << S("") << S("") << false << 0;
        QTest::newRow("port not a number")
            << S("x7") << S("057600") << true << S("") << S("") << false << 0;
        QTest::newRow("port does not open")
            << S("07") << S("057600") << false << S("") << S("") << false << 0;
        // First connect check: Timer1 starts now, so 4 ticks are exactly 300 ms.
        QTest::newRow("no answer in 4 ticks")
            << S("07") << S("057600") << true << S("-") << S("") << true << 300;
        QTest::newRow("wrong answer")
            << S("07") << S("057600") << true << S("?") << S("") << true << 2;
        QTest::newRow("no Version") << S("07") << S("057600") << true << S(":")
                                    << S("OV0R02version 2.1.0") + std::string(42, 'x') + "0H~"
                                    << true << 22;
        QTest::newRow("version too late")
            << S("07") << S("057600") << true << S(":") << S("-") << true << 3002;
    }
    void fixedPortFailures() {
        QFETCH(std::string, comport);
        QFETCH(std::string, combaud);
        QFETCH(bool, opens);
        QFETCH(std::string, attentionReply);
        QFETCH(std::string, versionAnswer);
        QFETCH(bool, openAfter);
        QFETCH(int, endsAt);
        // Every failure leaves " Unknown", even where the port was never tried.
        Connection d;
        if (!opens) {
            d.port.setOpenablePorts({1});
        }
        if (!attentionReply.empty()) {
            auto& step = d.port.expect("&");
            if (attentionReply != "-") {
                step.answer(attentionReply, 2ms);
            }
        }
        if (!versionAnswer.empty()) {
            auto& step = d.port.expect(request);
            if (versionAnswer != "-") {
                step.answer(versionAnswer, 20ms);
            }
        }
        d.link.globals().errcode = "Z";
        QCOMPARE(d.link.opencomport(portSettings(comport, combaud), d.ui), ConnectResult::Failed);
        PKIVO_VERIFY_SCRIPT(d.port);
        QCOMPARE(d.ui.messages, std::vector<std::string>{std::string(openPortMessage)});
        QCOMPARE(d.link.boardinfo(), std::string(" Unknown"));
        QCOMPARE(d.port.isOpen(), openAfter);
        QCOMPARE(d.time.now(), Millis(endsAt));
        if (versionAnswer == "-") {
            QCOMPARE(d.link.globals().errcode, std::string("0"));
        }
    }

    void laterConnectChecksKeepTheTimerPhase() {
        Connection c;
        c.port.expect("&");
        c.link.opencomport(portSettings("07"), c.ui);
        QCOMPARE(c.time.now(), 300ms);
        c.time.runUntil(1010ms);
        c.port.expect("&");
        c.link.opencomport(portSettings("07"), c.ui);
        // Ticks at 1050, 1125, 1200 and 1275.
        QCOMPARE(c.time.now(), 1275ms);
        QCOMPARE(c.link.timer1().count(), 0);
    }

    void searchTakesTheFirstPortThatAnswers() {
        Connection c;
        c.port.setOpenablePorts({3, 5});
        scriptController(c.port);
        QCOMPARE(c.link.opencomport(portSettings("00"), c.ui), ConnectResult::Connected);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.port.openedPorts(), std::vector<int>{3});
        QVERIFY(c.link.boardinfo().ends_with("   Port: 3"));
        QCOMPARE(c.link.boardinfo(), std::string(" Version 2.1.0   Port: 3"));
        QVERIFY(c.ui.messages.empty());
    }

    void searchSkipsPortsThatAnswerWrongly() {
        Connection c;
        c.port.setOpenablePorts({1, 2, 4, 6});
        c.port.expect("&").answer("x", 1ms); // port 1: not the controller
        c.port.expect("&").answer(":", 1ms); // port 2: ":" but no version
        c.port.expect(request).answer(std::string(64, 'O'), 5ms);
        c.port.expect("&");       // port 4: silent for 3 ticks
        scriptController(c.port); // port 6
        QCOMPARE(c.link.opencomport(portSettings("00"), c.ui), ConnectResult::Connected);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.port.openedPorts(), (std::vector<int>{1, 2, 4, 6}));
        QVERIFY(c.ui.messages.empty());
        QCOMPARE(c.link.boardinfo(), std::string(" Version 2.1.0   Port: 6"));
        // Port 4 waited 3 ticks of the timer that started at port 1's check (t = 0):
        // its "&" went out at 7 ms, the third tick after that is at 225 ms.
        QCOMPARE(c.port.writes()[3].at, 7ms);
        QCOMPARE(c.port.writes()[4].at, 225ms);
    }

    void searchLimitIsTestedOnlyAfterAFailedOpen_data() {
        QTest::addColumn<std::vector<int>>("openable");
        QTest::addColumn<std::vector<int>>("opened");
        QTest::newRow("nothing opens") << std::vector<int>{} << std::vector<int>{};
        QTest::newRow("57 is never tried") << std::vector<int>{57} << std::vector<int>{};
        QTest::newRow("silent ports beyond 56")
            << std::vector<int>{55, 56, 57, 58} << std::vector<int>{55, 56, 57, 58};
    }
    void searchLimitIsTestedOnlyAfterAFailedOpen() {
        QFETCH(std::vector<int>, openable);
        QFETCH(std::vector<int>, opened);
        Connection c;
        c.port.setOpenablePorts({openable.begin(), openable.end()});
        for (size_t i = 0; i < opened.size(); ++i) {
            c.port.expect("&");
        }
        QCOMPARE(c.link.opencomport(portSettings("00"), c.ui), ConnectResult::Failed);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.port.openedPorts(), opened);
        QCOMPARE(c.ui.messages.size(), size_t(1));
        // The port is closed: no controller may stay named.
        QCOMPARE(c.link.boardinfo(), std::string(" Unknown"));
        QVERIFY(!c.port.isOpen());
    }

    void searchEndsWhenEveryNumberOpens() {
        Connection c; // all port numbers open; none answers
        for (int i = 1; i <= maxCommPort; ++i) {
            c.port.expect("&").answer("?", 1ms);
        }
        QCOMPARE(c.link.opencomport(portSettings("00"), c.ui), ConnectResult::Failed);
        QCOMPARE(int(c.port.openedPorts().size()), maxCommPort);
    }

    void reconnectAfterALostLine() {
        Connection c;
        scriptController(c.port);
        c.link.opencomport(portSettings("07"), c.ui);
        c.link.globals().packet = packet::readInstruction(1);
        c.port.expect("&").loseLine(100ms);
        c.link.rawsender();
        QCOMPARE(c.link.globals().errcode, std::string("7"));
        scriptController(c.port);
        QCOMPARE(c.link.opencomport(portSettings("07"), c.ui), ConnectResult::Connected);
        c.link.globals().packet = packet::readInstruction(1);
        c.port.expect("&").answer(":");
        c.port.expect("$" + packet::readInstruction(1)).answer(versionReply);
        c.link.rawsender();
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.link.globals().errcode, std::string("0"));
    }

    void opencomportIsRefusedDuringAnExchange() {
        Connection c;
        scriptController(c.port);
        c.link.opencomport(portSettings("07"), c.ui);
        c.link.globals().packet = packet::readInstruction(1);
        c.port.expect("&").answer(":");
        c.port.expect("$" + packet::readInstruction(1)).answer(versionReply, 2s);
        ConnectResult inner = ConnectResult::Connected;
        c.time.after(1s, [&] { inner = c.link.opencomport(portSettings("07"), c.ui); });
        c.link.rawsender();
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(inner, ConnectResult::Busy);
        QCOMPARE(c.link.globals().errcode, std::string("0"));
        QCOMPARE(c.link.globals().packet, versionReply);
        QVERIFY(c.ui.messages.empty());
    }
};

QTEST_GUILESS_MAIN(TestOpencomport)
#include "test_opencomport.moc"
