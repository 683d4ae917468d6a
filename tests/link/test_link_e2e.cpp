// The link end to end: the console's routines over QSerialPort and a real pseudo-terminal,
// with the virtual controller serving the far side in this test's own event loop, on the wall
// clock. Replies are checked byte for byte against what the controller sends.
#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "recordingui.h"
#include "sim/portlink.h"
#include "sim/pty/ptyserver.h"
#include "stdstringtesting.h"
#include "temphome.h"

#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

// The port the controller is served on unless a test says otherwise.
constexpr int controllerPort = 4;

// One exchange as a window would run it: fill the globals, call the routine.
using Exchange = std::function<void(Link&)>;

Exchange rawsender(const std::string& request) {
    return [request](Link& link) {
        link.globals().packet = request;
        link.rawsender();
    };
}
Exchange docomax(const packet::DocomaxFields& fields) {
    return [fields](Link& link) {
        packet::putDocomaxFields(fields, link.globals());
        link.docomax();
    };
}
Exchange smallcomax(const std::string& request) {
    return [request](Link& link) {
        link.globals().packet = request;
        link.smallcomax();
    };
}
Exchange binreceiver(const std::string& request) {
    return [request](Link& link) {
        link.globals().packet = request;
        link.binreceiver();
    };
}
// As the download does it for each page.
Exchange flashwait(const std::string& pageLine) {
    return [pageLine](Link& link) {
        LinkGlobals& g = link.globals();
        g.timedout = false;
        g.packdata = pageLine;
        g.packet.clear();
        link.flashwait();
    };
}
Exchange waitstatus() {
    return [](Link& link) {
        link.setMonitoring(true);
        link.waitstatus();
    };
}


sim::SimOptions controllerOptions(int port, const sim::FaultOptions& faults = {}) {
    sim::SimOptions options;
    options.port = port;
    options.protocol.faults = faults;
    return options;
}

// The console's link with a virtual controller on port 4 of a fresh home directory.
struct Console {
    explicit Console(const sim::FaultOptions& faults = {}) { startController(faults); }

    void startController(const sim::FaultOptions& faults = {}) {
        server = std::make_unique<sim::PtyServer>(controllerOptions(controllerPort, faults));
        std::string error;
        if (!server->start(error)) {
            qFatal("virtual controller: %s", error.c_str());
        }
    }
    ConnectResult connect(const std::string& comport = "04") {
        PortSettings settings;
        settings.comport = comport;
        return link.opencomport(settings, ui);
    }
    // Opens the controller's port without the connect check, so that the first attention
    // character the controller sees is the routine's own.
    bool openPort() {
        port.setCommPort(controllerPort);
        return port.open();
    }
    const sim::ProtocolCounters& counters() { return server->protocol().counters(); }
    Millis now() const { return waiter.clock().now(); }
    // Runs `action` once the event loop has run for `delay`, i.e. from inside a wait.
    void during(std::chrono::milliseconds delay, std::function<void()> action) {
        QTimer::singleShot(delay, &context, std::move(action));
    }

    test::TempHome home; // outlives the controller, which saves its state there
    std::unique_ptr<sim::PtyServer> server;
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link{port, waiter};
    test::RecordingUi ui;
    QObject context; // owns the test's timers; goes first
};

const std::string erasedRecord(32, 'F');

// The controller's answer to R15 for `line` (6 hex digits): the request with the record in.
std::string instructionReply(const std::string& line, const std::string& record) {
    return "OV0R15" + line + record + "DDD" + std::string(14, 'x') + "0H~";
}

// A status record: "AB", position, stack, loop, mode, notification, line + 1.
std::string statusRecord(const std::string& position, const std::string& stack,
                         const std::string& loop, const std::string& mode,
                         const std::string& notification, const std::string& line) {
    return "AB" + position + stack + loop + mode + notification + line;
}

// What waitstatus reads, call after call, up to and including the record that shows the
// program stopped. Less when the records stop coming.
std::string recordsUntilStopped(Link& link) {
    const LinkGlobals& g = link.globals();
    std::string stream;
    for (int read = 0; read < 10; ++read) {
        link.waitstatus();
        stream += g.tempstr1;
        if (g.tempstr1.size() < packet::status::length ||
            cut(stream.substr(stream.size() - packet::status::length), packet::status::mode) ==
                "00") {
            break;
        }
    }
    return stream;
}

// A flash page of 528 digits in which no two neighbouring digits are alike.
std::string pagePattern() {
    static const char digits[] = "0123456789ABCDEF";
    std::string page;
    for (size_t i = 0; i < packet::flashPageLength; ++i) {
        page += digits[(i * 5 + i / 32) % 16];
    }
    return page;
}

// A page of 16 records and 16 further digits; the slots not given stay erased.
std::string programPage(const std::vector<std::string>& records) {
    std::string page;
    for (const std::string& record : records) {
        page += record + std::string(32 - record.size(), 'F');
    }
    return page + std::string(packet::flashPageLength - page.size(), 'F');
}

// The controller's answer to a flash page line: "OV0OK" (or "OV0ERR") and the page number in
// the generic template.
std::string pageReply(const std::string& verdict, const std::string& page, char result) {
    return "OV0" + verdict + page + "xxxx" + std::string(32, 'D') + std::string(14, 'x') + result +
           "H~";
}

} // namespace

Q_DECLARE_METATYPE(Exchange)
Q_DECLARE_METATYPE(pkivo::sim::FaultOptions)

class TestLinkEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void connectsByNumberAndBySearch_data();
    void connectsByNumberAndBySearch();
    void connectCheckRetriedAfterAnIgnoredAttention();
    void longCommandsGetTheControllersReplies_data();
    void longCommandsGetTheControllersReplies();
    void shortCommandsGetTheControllersReplies_data();
    void shortCommandsGetTheControllersReplies();
    void flashPageWriteAndReadBack_data();
    void flashPageWriteAndReadBack();
    void statusStreamUntilTheProgramStops();
    void exchangeWhileTheMonitorListens();
    void pulledLineEndsTheWaitAndReconnectRecovers_data();
    void pulledLineEndsTheWaitAndReconnectRecovers();
    void controllerFaults_data();
    void controllerFaults();
};

void TestLinkEndToEnd::connectsByNumberAndBySearch_data() {
    QTest::addColumn<std::string>("comport");
    QTest::addColumn<std::string>("boardinfo");
    QTest::addColumn<int>("skippedPortAttentions");
    QTest::newRow("fixed port 04")
        << std::string("04") << std::string(" Version SIM 1   Port: 04") << 0;
    QTest::newRow("search") << std::string("00") << std::string(" Version SIM 1   Port: 4") << 1;
}

// Port 1 cannot be opened, port 2 opens but its controller never answers, port 3 answers "?",
// ports 4 and 5 both answer: the search takes 4, without a message for the ports it skipped.
void TestLinkEndToEnd::connectsByNumberAndBySearch() {
    QFETCH(std::string, comport);
    QFETCH(std::string, boardinfo);
    QFETCH(int, skippedPortAttentions);
    Console c;
    std::filesystem::create_symlink(c.home.file("no-such-device"), sim::portLinkPath(1));
    sim::FaultOptions silent;
    silent.silent = true;
    sim::FaultOptions garbled;
    garbled.garbleAttentions = 1;
    sim::PtyServer silentController(controllerOptions(2, silent));
    sim::PtyServer garbledController(controllerOptions(3, garbled));
    sim::PtyServer laterController(controllerOptions(5));
    std::string error;
    for (sim::PtyServer* server : {&silentController, &garbledController, &laterController}) {
        QVERIFY2(server->start(error), error.c_str());
    }

    QCOMPARE(c.connect(comport), ConnectResult::Connected);
    QCOMPARE(c.link.boardinfo(), boardinfo);
    QVERIFY(c.ui.messages.empty());
    // The 67-character version request was taken whole, as one long packet.
    QCOMPARE(c.counters().attentions, 1);
    QCOMPARE(c.counters().longPackets, 1);
    QCOMPARE(c.counters().invalidPackets, 0);
    QCOMPARE(silentController.protocol().counters().attentions, skippedPortAttentions);
    QCOMPARE(garbledController.protocol().counters().attentions, skippedPortAttentions);
    QCOMPARE(laterController.protocol().counters().attentions, 0);
    c.port.close();
}

void TestLinkEndToEnd::connectCheckRetriedAfterAnIgnoredAttention() {
    sim::FaultOptions faults;
    faults.ignoreAttentions = 1;
    Console c(faults);
    QCOMPARE(c.connect(), ConnectResult::Failed);
    QCOMPARE(c.ui.messages, std::vector<std::string>{std::string(openPortMessage)});
    QCOMPARE(c.link.boardinfo(), std::string(" Unknown"));
    // "Re-Connect Com port": the controller answers this time.
    QCOMPARE(c.connect(), ConnectResult::Connected);
    QCOMPARE(c.link.boardinfo(), std::string(" Version SIM 1   Port: 04"));
    QCOMPARE(c.counters().attentions, 2);
    QCOMPARE(c.counters().attentionsAnswered, 1);
}

void TestLinkEndToEnd::longCommandsGetTheControllersReplies_data() {
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<std::string>("reply");
    QTest::addColumn<std::string>("errcode");
    QTest::addColumn<std::string>("errtext");
    const std::string x14(14, 'x');
    QTest::newRow("R15 erased line 10 (rawsender)")
        << rawsender(packet::readInstruction(10)) << instructionReply("00000A", erasedRecord)
        << std::string("0") << std::string("No errors");
    QTest::newRow("R01 servo positions (rawsender)")
        << rawsender(packet::readCurrentPositions(0))
        << "OV0R01" + std::string("05DC05DC05DC05DC05DC05DC05DC05DC") + "DDDDDDDDD" + x14 + "0H~"
        << std::string("0") << std::string("No errors");
    QTest::newRow("R1A erased speed entry (rawsender)")
        << rawsender(packet::readSpeed(32000))
        << "OV0R1A007D00" + std::string("255255255255255255255255") + "255255255255255255255255" +
               "x0H~"
        << std::string("0") << std::string("No errors");
    QTest::newRow("R1R board parameters (docomax)")
        << docomax(packet::readParameters())
        << "OV0R1R00000" + std::string("040000000000000401F409C4FF000000") + "DDDDxxx000x000000x0H~"
        << std::string("0") << std::string("No errors");
    QTest::newRow("R02 version (docomax)")
        << docomax(packet::versionCommand("00000"))
        << "OV0R02Version SIM 1" + std::string(28, 'D') + "xxx000x000000x0H~" << std::string("0")
        << std::string("No errors");
    QTest::newRow("unknown code R99 (docomax)")
        << docomax(packet::typedCommand("R99", "0"))
        << "OV0R99000000xxx" + std::string(32, 'D') + "xxx000x000000xXH~" << std::string("X")
        << std::string("Invalid Instruction sent");
}

void TestLinkEndToEnd::longCommandsGetTheControllersReplies() {
    QFETCH(Exchange, exchange);
    QFETCH(std::string, reply);
    QFETCH(std::string, errcode);
    QFETCH(std::string, errtext);
    Console c;
    QCOMPARE(c.connect(), ConnectResult::Connected);
    exchange(c.link);
    const LinkGlobals& g = c.link.globals();
    QCOMPARE(g.packet, reply);
    QCOMPARE(g.errcode, errcode);
    QCOMPARE(g.errtext, errtext);
    QCOMPARE(g.packetstatus, std::string(packet::validPacket));
    QCOMPARE(g.linkstatus, std::string(linkstatus::connected));
    QCOMPARE(g.datablock, reply.substr(6, 41));
}

void TestLinkEndToEnd::shortCommandsGetTheControllersReplies_data() {
    QTest::addColumn<std::string>("request");
    QTest::addColumn<std::string>("reply");
    QTest::addColumn<std::string>("followUp");
    QTest::addColumn<std::string>("followUpReply");
    QTest::newRow("OR: servo 1's high byte")
        << packet::readRam(0x0010) << std::string("OR001005H") << std::string() << std::string();
    QTest::newRow("OE: stored parameter flags")
        << packet::readEeprom(0) << std::string("OE000004H") << std::string() << std::string();
    QTest::newRow("OS then OR: plain RAM")
        << packet::writeRam(0x0300, 0xA5) << std::string("OS0300A5H") << packet::readRam(0x0300)
        << std::string("OR0300A5H");
    QTest::newRow("OF then OE: EEPROM")
        << packet::writeEeprom(0x1234, 0x5A) << std::string("OF12345AH")
        << packet::readEeprom(0x1234) << std::string("OE12345AH");
    QTest::newRow("OU then OD: jog servo 2")
        << packet::jogUp("0010", 2) << std::string("OU05E602H") << packet::jogDown("0001", 2)
        << std::string("OD05E502H");
    QTest::newRow("OO then OR: output 16 on")
        << packet::switchOutput(0x10, true) << std::string("OO101DDDH") << packet::readRam(0x0210)
        << std::string("OR021001H");
    QTest::newRow("unknown command") << std::string(packet::shortSenderDefault)
                                     << std::string("O?ERROR?H") << std::string() << std::string();
}

void TestLinkEndToEnd::shortCommandsGetTheControllersReplies() {
    QFETCH(std::string, request);
    QFETCH(std::string, reply);
    QFETCH(std::string, followUp);
    QFETCH(std::string, followUpReply);
    Console c;
    QCOMPARE(c.connect(), ConnectResult::Connected);
    const LinkGlobals& g = c.link.globals();
    smallcomax(request)(c.link);
    QCOMPARE(g.packet, reply);
    QCOMPARE(g.errcode, std::string("0"));
    QCOMPARE(g.packetstatus, std::string(packet::validPacket));
    if (!followUp.empty()) {
        smallcomax(followUp)(c.link);
        QCOMPARE(g.packet, followUpReply);
        QCOMPARE(g.errcode, std::string("0"));
    }
    QCOMPARE(c.counters().shortPackets, followUp.empty() ? 1 : 2);
}

void TestLinkEndToEnd::flashPageWriteAndReadBack_data() {
    QTest::addColumn<std::string>("pageLine");
    QTest::addColumn<std::string>("reply");
    QTest::addColumn<bool>("written");
    QTest::newRow("page 3") << "00003" + pagePattern() << pageReply("OK0", "00003", '0') << true;
    QTest::newRow("page 2047, the last")
        << "02047" + pagePattern() << pageReply("OK0", "02047", '0') << true;
    QTest::newRow("page 2048, beyond the flash")
        << "02048" + pagePattern() << pageReply("ERR", "02048", '1') << false;
}

void TestLinkEndToEnd::flashPageWriteAndReadBack() {
    QFETCH(std::string, pageLine);
    QFETCH(std::string, reply);
    QFETCH(bool, written);
    Console c;
    QCOMPARE(c.connect(), ConnectResult::Connected);
    const LinkGlobals& g = c.link.globals();
    flashwait(pageLine)(c.link);
    QCOMPARE(g.packet, reply);
    QCOMPARE(packet::isPageWritten(g.packet), written);
    QCOMPARE(g.errcode, std::string("0"));
    QVERIFY(!g.timedout);
    QCOMPARE(c.counters().pageWrites, 1);
    if (!written) {
        return;
    }
    binreceiver(packet::readFlashPage(pageLine.substr(0, 5)))(c.link);
    QCOMPARE(g.errcode, std::string("0"));
    QCOMPARE(g.packdata, pageLine.substr(5));
}

// A program written with page writes runs after R05 and streams its records until it stops:
// DO 2 / WAIT 200 / LOOP / STOP, reported 4 times a second and once more when it stops.
void TestLinkEndToEnd::statusStreamUntilTheProgramStops() {
    Console c;
    QCOMPARE(c.connect(), ConnectResult::Connected);
    LinkGlobals& g = c.link.globals();
    flashwait("00000" + programPage({"1EFF0002", "28FF00C8", "20", "80"}))(c.link);
    QVERIFY(packet::isPageWritten(g.packet));

    g.packet = packet::runProgram(0);
    c.link.sendonly();
    QCOMPARE(g.errcode, std::string("0"));
    QCOMPARE(g.packet, "$" + packet::runProgram(0));
    c.link.setMonitoring(true);
    const std::string stream = recordsUntilStopped(c.link);
    QCOMPARE(stream, statusRecord("0000", "0000", "0002", "10", "00", "000001") +
                         statusRecord("0000", "0000", "0001", "10", "00", "000002") +
                         statusRecord("0000", "0000", "0000", "00", "00", "000004"));
    QCOMPARE(c.counters().statusRecords, 3);
}

// A click during the monitor's wait runs its exchange at once and gets its own reply; the
// monitor then goes on with the records that follow. (The controller leaves out a record that
// falls due in the middle of an exchange.)
void TestLinkEndToEnd::exchangeWhileTheMonitorListens() {
    Console c;
    QCOMPARE(c.connect(), ConnectResult::Connected);
    LinkGlobals& g = c.link.globals();
    const std::string wait300 = "28FF012C" + std::string(24, 'F');
    flashwait("00000" + programPage({wait300, "80"}))(c.link);
    QVERIFY(packet::isPageWritten(g.packet));
    g.packet = packet::runProgram(0);
    c.link.sendonly();
    c.link.setMonitoring(true);

    std::string clickReply;
    std::string clickCode;
    c.during(100ms, [&] {
        rawsender(packet::readInstruction(0))(c.link);
        clickReply = g.packet;
        clickCode = g.errcode;
    });
    const std::string stream = recordsUntilStopped(c.link);
    QCOMPARE(clickCode, std::string("0"));
    QCOMPARE(clickReply, instructionReply("000000", wait300));
    QCOMPARE(stream, statusRecord("0000", "0000", "0000", "10", "00", "000001") +
                         statusRecord("0000", "0000", "0000", "10", "00", "000001") +
                         statusRecord("0000", "0000", "0000", "00", "00", "000002"));
}

void TestLinkEndToEnd::pulledLineEndsTheWaitAndReconnectRecovers_data() {
    QTest::addColumn<sim::FaultOptions>("faults");
    QTest::addColumn<Exchange>("before");
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<std::string>("line0Record");
    sim::FaultOptions lateReplies;
    lateReplies.replyDelay = 5s;
    sim::FaultOptions hangsUp;
    hangsUp.hangUpAfterPages = 1;
    const Exchange nothing = [](Link&) {};
    const std::string record = "28FF00C8" + std::string(24, 'F');
    QTest::newRow("rawsender's reply wait")
        << lateReplies << nothing << rawsender(packet::readInstruction(1)) << erasedRecord;
    QTest::newRow("docomax's reply wait")
        << lateReplies << nothing << docomax(packet::readParameters()) << erasedRecord;
    QTest::newRow("smallcomax's reply wait")
        << lateReplies << nothing << smallcomax(packet::readRam(1)) << erasedRecord;
    QTest::newRow("binreceiver's page wait")
        << lateReplies << nothing << binreceiver(packet::readFlashPage("1")) << erasedRecord;
    // The controller fell silent after one page: the next page's "#" waits for its "!".
    QTest::newRow("flashwait's attention after a hang-up")
        << hangsUp << flashwait("00000" + programPage({record}))
        << flashwait("00001" + pagePattern()) << record;
    QTest::newRow("waitstatus listening")
        << sim::FaultOptions{} << nothing << waitstatus() << erasedRecord;
}

void TestLinkEndToEnd::pulledLineEndsTheWaitAndReconnectRecovers() {
    QFETCH(sim::FaultOptions, faults);
    QFETCH(Exchange, before);
    QFETCH(Exchange, exchange);
    QFETCH(std::string, line0Record);
    Console c(faults);
    // Late replies would fail the connect check: open the port as it would have left it.
    QVERIFY(c.openPort());
    LinkGlobals& g = c.link.globals();
    before(c.link);

    c.during(100ms, [&c] { c.server->stop(); });
    const Millis start = c.now();
    exchange(c.link);
    QCOMPARE(g.errcode, std::string("7"));
    QCOMPARE(g.errtext, std::string("Serial port not open"));
    QCOMPARE(g.replyparm3, std::string("000"));
    // Well before the shortest time limit of the wait that was cut (2 s).
    QVERIFY2(c.now() - start < 1500ms, std::to_string((c.now() - start).count()).c_str());
    // Every routine now reports the same at once.
    smallcomax(packet::readRam(1))(c.link);
    QCOMPARE(g.errcode, std::string("7"));
    QVERIFY(c.now() - start < 1500ms);

    // The controller comes back (with what it stored before) and "Re-Connect" finds it.
    c.startController();
    QCOMPARE(c.connect(), ConnectResult::Connected);
    rawsender(packet::readInstruction(0))(c.link);
    QCOMPARE(g.errcode, std::string("0"));
    QCOMPARE(cut(g.packet, packet::record), line0Record);
}

void TestLinkEndToEnd::controllerFaults_data() {
    QTest::addColumn<sim::FaultOptions>("faults");
    QTest::addColumn<Exchange>("exchange");
    QTest::addColumn<std::string>("after"); // `packet` afterwards
    QTest::addColumn<std::string>("errcode");
    QTest::addColumn<std::string>("errtext");
    QTest::addColumn<std::string>("packetstatus");
    QTest::addColumn<int>("attentions");
    QTest::addColumn<int>("answered");
    QTest::addColumn<int>("waitedAtLeastMs");

    const std::string valid(packet::validPacket);
    const std::string invalid(packet::invalidPacket);
    const std::string r15Reply = instructionReply("000001", erasedRecord);
    // Without its result code and "H~".
    const std::string r1rReply =
        "OV0R1R00000" + std::string("040000000000000401F409C4FF000000") + "DDDDxxx000x000000x";

    sim::FaultOptions ignoreFirst;
    ignoreFirst.ignoreAttentions = 1;
    QTest::newRow("first attention ignored: rawsender's second attempt (2 s)")
        << ignoreFirst << rawsender(packet::readInstruction(1)) << r15Reply << std::string("0")
        << std::string("No errors") << valid << 2 << 1 << 2000;
    QTest::newRow("first attention ignored: docomax's second attempt (1 s)")
        << ignoreFirst << docomax(packet::readParameters()) << r1rReply + "0H~" << std::string("0")
        << std::string("No errors") << valid << 2 << 1 << 1000;

    sim::FaultOptions garbleFirst;
    garbleFirst.garbleAttentions = 1;
    QTest::newRow("garbled attention: rawsender tries again at once")
        << garbleFirst << rawsender(packet::readInstruction(1)) << r15Reply << std::string("0")
        << std::string("No errors") << valid << 2 << 1 << 0;
    QTest::newRow("garbled attention: smallcomax tries again at once")
        << garbleFirst << smallcomax(packet::readRam(0x0011)) << std::string("OR0011DCH")
        << std::string("0") << std::string("No errors") << valid << 2 << 1 << 0;

    sim::FaultOptions silent;
    silent.silent = true;
    // One attempt of 6 s; nothing is sent and the request stays where it was.
    QTest::newRow("silent controller: binreceiver (6 s)")
        << silent << binreceiver(packet::readFlashPage("1")) << packet::readFlashPage("1")
        << std::string("Z") << std::string("Unable to connect") << std::string() << 1 << 0 << 6000;

    for (const auto& [code, text] :
         std::vector<std::pair<char, std::string>>{{'1', "System received invalid packet"},
                                                   {'2', "No responce from device/module on buss"},
                                                   {'X', "Invalid Instruction sent"},
                                                   {'Q', "Undefined error"}}) {
        sim::FaultOptions forced;
        forced.resultCode = code;
        QTest::addRow("result code %c at position 62 (docomax)", code)
            << forced << docomax(packet::readParameters()) << r1rReply + code + "H~"
            << std::string(1, code) << text << valid << 1 << 1 << 0;
    }

    sim::FaultOptions unframed;
    unframed.unframed = true;
    QTest::newRow("unframed reply (rawsender)")
        << unframed << rawsender(packet::readInstruction(1)) << "--" + r15Reply.substr(2, 60) + "--"
        << std::string("0") << std::string("No errors") << invalid << 1 << 1 << 0;
}

// The controller's fault modes that the console must live with. The port is opened without
// the connect check, so the controller's first attention is the routine's.
void TestLinkEndToEnd::controllerFaults() {
    QFETCH(sim::FaultOptions, faults);
    QFETCH(Exchange, exchange);
    QFETCH(std::string, after);
    QFETCH(std::string, errcode);
    QFETCH(std::string, errtext);
    QFETCH(std::string, packetstatus);
    QFETCH(int, attentions);
    QFETCH(int, answered);
    QFETCH(int, waitedAtLeastMs);
    Console c(faults);
    QVERIFY(c.openPort());
    LinkGlobals& g = c.link.globals();
    const Millis start = c.now();
    exchange(c.link);
    const Millis waited = c.now() - start;
    QCOMPARE(g.packet, after);
    QCOMPARE(g.errcode, errcode);
    QCOMPARE(g.errtext, errtext);
    QCOMPARE(g.packetstatus, packetstatus);
    QCOMPARE(g.replyparm3, std::string(errcode == "0" ? cut(after, packet::parm3) : "000"));
    QCOMPARE(c.counters().attentions, attentions);
    QCOMPARE(c.counters().attentionsAnswered, answered);
    QVERIFY2(waited >= Millis(waitedAtLeastMs), std::to_string(waited.count()).c_str());
    // A refused attempt is not waited out: whatever came back ended it.
    if (waitedAtLeastMs == 0) {
        QVERIFY2(waited < 1000ms, std::to_string(waited.count()).c_str());
    }
}

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "test_link_e2e.moc"
