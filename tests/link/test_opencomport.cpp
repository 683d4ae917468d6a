// opencomport against scripted ports on virtual time: the fixed port, the port search and the
// Timer1 ticks of the connect check. A controller that fails the check is test_faultmatrix's.
#include "scriptedlink.h"

#include "link/packets.h"
#include "recordingui.h"

#include <numeric>

using namespace pkivo;
using S = std::string;
using namespace pkivo::test;

namespace {

const S versionReply = "OV0R02Version 2.1.0AB" + S(40, 'x') + "0H~";
const S request(packet::versionRequest);

struct Connection {
    Connection() { port.close(); }
    ConnectResult connect(const S& comport) { return link.opencomport({.comport = comport}, ui); }
    // A connect check answered after 2 ms and 20 ms.
    void controller() { expectExchange(port, request, versionReply, 20ms, 2ms); }
    VirtualTime time;
    ScriptedPort port{time};
    Link link{port, time};
    RecordingUi ui;
};

// A connect check on a fixed port where only port 7 opens, with the Settings text of the
// port fields.
struct FixedPort {
    S comport = "07", combaud = "057600", parity = "n";
    bool answers = false;
    int endsAt = 0;
    S settings = "57600,n,8,1", board = " Unknown";
};

using Messages = std::vector<S>;

} // namespace

Q_DECLARE_METATYPE(FixedPort)

class TestOpencomport : public QObject {
    Q_OBJECT

private slots:
    void fixedPort_data() {
        QTest::addColumn<FixedPort>("f");
        QTest::newRow("controller answers, 19200 baud, even parity")
            << FixedPort{"07", "019200", "e", true, 22, "19200,e,8,1", " Version 2.1.0   Port: 07"};
        QTest::newRow("baud rate not a number")
            << FixedPort{.combaud = "abcdef", .settings = "0,n,8,1"};
        QTest::newRow("port not a number") << FixedPort{.comport = "x7"};
        QTest::newRow("port does not open") << FixedPort{.comport = "08"};
    }
    void fixedPort() {
        QFETCH(FixedPort, f);
        Connection c;
        c.port.setOpenablePorts({7});
        if (f.answers) {
            c.controller();
        }
        c.link.globals().errcode = "Z";
        const PortSettings settings{
            .comport = f.comport, .combaud = f.combaud, .comparity = f.parity};
        QCOMPARE(portSettingsText(settings), f.settings);
        const bool connects = f.board != " Unknown";
        QCOMPARE(c.link.opencomport(settings, c.ui),
                 connects ? ConnectResult::Connected : ConnectResult::Failed);
        PKIVO_VERIFY_SCRIPT(c.port);
        // Every failure leaves " Unknown", even where the port was never tried.
        QCOMPARE(c.link.boardinfo(), f.board);
        QCOMPARE(c.ui.messages, connects ? Messages{} : Messages{S(openPortMessage)});
        QCOMPARE(c.port.isOpen(), f.answers);
        QCOMPARE(c.time.now(), Millis(f.endsAt));
        if (connects) {
            QCOMPARE(c.port.settings(), f.settings);
            QCOMPARE(c.port.rThreshold(), 60);
            QCOMPARE(c.link.globals().packet + c.link.globals().tempstr1, versionReply + ":");
        }
    }

    // Ports 3 and 5 do not open; port 7 is never tried.
    void searchTakesTheFirstPortThatAnswers() {
        Connection c;
        c.port.setOpenablePorts({1, 2, 4, 6, 7});
        c.port.expect("&").answer("x", 1ms);                   // port 1: not the controller
        expectExchange(c.port, request, S(64, 'O'), 5ms, 1ms); // port 2: ":" but no version
        c.port.expect("&");                                    // port 4: silent for 3 ticks
        c.controller();                                        // port 6
        QCOMPARE(c.connect("00"), ConnectResult::Connected);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.port.openedPorts(), (std::vector<int>{1, 2, 4, 6}));
        QVERIFY(c.ui.messages.empty());
        QCOMPARE(c.link.boardinfo(), S(" Version 2.1.0   Port: 6"));
        // Port 4 waited 3 ticks of the timer that started at port 1's check (t = 0):
        // its "&" went out at 7 ms, the third tick after that is at 225 ms.
        QCOMPARE(c.port.writes()[3].at, 7ms);
        QCOMPARE(c.port.writes()[4].at, 225ms);
    }

    // No port answers: the search gives up at the first port above 56 that does not open, or
    // after the last port number.
    void searchGivesUp_data() {
        using Ports = std::vector<int>;
        QTest::addColumn<Ports>("openable");
        QTest::addColumn<Ports>("opened");
        Ports every(highestPortNumber);
        std::iota(every.begin(), every.end(), 1);
        QTest::newRow("57 is never tried") << Ports{57} << Ports{};
        QTest::newRow("silent ports beyond 56") << Ports{55, 56, 57, 58} << Ports{55, 56, 57, 58};
        QTest::newRow("every number opens") << every << every;
    }
    void searchGivesUp() {
        QFETCH(std::vector<int>, openable);
        QFETCH(std::vector<int>, opened);
        Connection c;
        c.port.setOpenablePorts({openable.begin(), openable.end()});
        expectUnanswered(c.port, int(opened.size()));
        QCOMPARE(c.connect("00"), ConnectResult::Failed);
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(c.port.openedPorts(), opened);
        QCOMPARE(c.ui.messages.size(), size_t(1));
        // The port is closed: no controller may stay named.
        QCOMPARE(c.link.boardinfo(), S(" Unknown"));
        QVERIFY(!c.port.isOpen());
    }

    void opencomportIsRefusedDuringAnExchange() {
        Connection c;
        c.controller();
        c.connect("07");
        c.link.globals().packet = packet::readInstruction(1);
        expectExchange(c.port, "$" + packet::readInstruction(1), versionReply, 2s, 0ms);
        ConnectResult inner = ConnectResult::Connected;
        c.time.after(1s, [&] { inner = c.connect("07"); });
        c.link.rawsender();
        PKIVO_VERIFY_SCRIPT(c.port);
        QCOMPARE(inner, ConnectResult::Busy);
        QCOMPARE(c.link.globals().errcode, S("0"));
        QCOMPARE(c.link.globals().packet, versionReply);
        QVERIFY(c.ui.messages.empty());
    }
};

QTEST_GUILESS_MAIN(TestOpencomport)
#include "test_opencomport.moc"
