// The virtual controller's serial protocol without a pseudo-terminal: every command's reply
// byte for byte, the attention handshake, the fault modes, packet time-outs, the wire's pace
// and the status stream around exchanges.
#include "sim/protocol.h"

#include <QTest>

using namespace pkivo::sim;
using pkivo::Millis;
using namespace std::chrono_literals;

namespace {

const std::string generic = "OV0iiiSSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
const std::string docomax = "OV0iii000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";

// The generic template with `text` written from 1-based `position` and code `code`.
std::string packet(const std::string& code, const std::string& text = "", int position = 7,
                   const std::string& base = generic) {
    std::string p = base;
    p.replace(3, 3, code);
    p.replace(size_t(position - 1), text.size(), text);
    return p;
}

struct Line {
    Machine machine;
    Protocol protocol;
    Millis now{0};
    explicit Line(ProtocolOptions options = {}) : protocol(machine, std::move(options)) {
        machine.powerUp(0us);
    }
    // Sends `bytes`, lets `after` pass and returns what came back meanwhile.
    std::string send(const std::string& bytes, Millis after = 50ms) {
        protocol.receive(bytes, now);
        now += after;
        protocol.advance(now);
        return protocol.takeDue(now);
    }
    std::string longExchange(const std::string& request) {
        const std::string ready = send("&");
        return ready == ":" ? send("$" + request) : "no attention: " + ready;
    }
    std::string shortExchange(const std::string& request) {
        const std::string ready = send("&");
        return ready == ":" ? send("-" + request) : "no attention: " + ready;
    }
};

} // namespace

class TestSimProtocol : public QObject {
    Q_OBJECT

private slots:
    void longCommandReplies_data();
    void longCommandReplies();
    void writesShowUpInReads();
    void shortCommandReplies_data();
    void shortCommandReplies();
    void flashPageWrites();
    void packedRecordWriteAndRead();
    void parametersStoreAndReloadFromEeprom();
    void runPauseStopTakeNoReply();
    void attentionHandshake_data();
    void attentionHandshake();
    void faultsDistortReplies_data();
    void faultsDistortReplies();
    void lateReplyIsDueLate();
    void hangUpAfterPages();
    void unfinishedPacketIsGivenUp();
    void pacedLineTakesWireTime();
    void statusRecordsStayOutOfExchanges();
};

void TestSimProtocol::longCommandReplies_data() {
    QTest::addColumn<std::string>("request");
    QTest::addColumn<std::string>("reply");

    QTest::newRow("R01 current positions")
        << packet("R01", "002710")
        << "OV0R01" + std::string("05DC05DC05DC05DC05DC05DC05DC05DC") + "DDDDDDDDD" +
               "xxxxxxxxxxxxxx0H~";
    QTest::newRow("R02 version, connect check's 67 characters")
        << std::string("OV0R02000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxx000xxxx0H~")
        << std::string("OV0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~");
    QTest::newRow("R02 version through docomax")
        << packet("R02", "", 7, docomax)
        << std::string("OV0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~");
    QTest::newRow("R14 erased page") << packet("R14", "00625") << std::string(528, 'F');
    QTest::newRow("R15 erased record")
        << packet("R15", "0000FF")
        << "OV0R150000FF" + std::string(32, 'F') + "DDD" + "xxxxxxxxxxxxxx0H~";
    QTest::newRow("R18 erased position reads no-move")
        << packet("R18", "002710")
        << "OV0R18002710" + std::string("6553565535655356553565535655356553565535") +
               "xxxxxxxxx0H~";
    QTest::newRow("R1A erased speed entry")
        << packet("R1A", "007D00")
        << "OV0R1A007D00" + std::string("255255255255255255255255") + "255255255255255255255255" +
               "x0H~";
    QTest::newRow("R1C packed read of erased lines")
        << packet("R1C", "000005") << std::string(64, 'F');
    QTest::newRow("R1R default parameters")
        << packet("R1R", "00000", 7, docomax)
        << std::string("OV0R1R00000040000000000000401F409C4FF000000DDDDxxx000x000000x0H~");
    QTest::newRow("R17 erase is echoed") << packet("R17") << packet("R17");
    QTest::newRow("unknown code answers X")
        << packet("R99", "00000", 7, docomax)
        << std::string("OV0R9900000") + "0xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000xXH~";
    QTest::newRow("line that is not hex answers 1") << packet("R15", "00ZZ00") << [] {
        std::string r = packet("R15", "00ZZ00");
        r[61] = '1';
        return r;
    }();
    QTest::newRow("line beyond the flash answers 1") << packet("R15", "008000") << [] {
        std::string r = packet("R15", "008000");
        r[61] = '1';
        return r;
    }();
    QTest::newRow("page beyond the flash answers 1") << packet("R14", "02048") << [] {
        std::string r = packet("R14", "02048");
        r[61] = '1';
        return r;
    }();
}

void TestSimProtocol::longCommandReplies() {
    QFETCH(std::string, request);
    QFETCH(std::string, reply);
    Line line;
    QCOMPARE(QString::fromStdString(line.longExchange(request)), QString::fromStdString(reply));
}

void TestSimProtocol::writesShowUpInReads() {
    Line line;
    // R16 record at line 10, then R15 and the page read show it.
    const std::string record = "0A0100640105DC000000000000000000";
    const std::string put = packet("R16", "00000A" + record);
    QCOMPARE(line.longExchange(put), put);
    QCOMPARE(line.longExchange(packet("R15", "00000A")).substr(12, 32), record);
    QCOMPARE(line.longExchange(packet("R14", "00000")).substr(320, 32), record);

    // R19 position at line 10000 (page 625, slot 0): R18 reads it back, the page shows it.
    const std::string positions = "0100065535655350200000000655356553565535";
    const std::string store = packet("R19", "002710" + positions);
    QCOMPARE(line.longExchange(store), store);
    QCOMPARE(line.longExchange(packet("R18", "002710")).substr(12, 40), positions);
    QCOMPARE(line.longExchange(packet("R14", "00625")).substr(0, 32),
             std::string("03E8FFFFFFFF07D00000FFFFFFFFFFFF"));

    // R1B speed entry 32001: R1A reads it back, it is the record at line 32001.
    const std::string speeds = "010020030040050060070080001002003004005006007255";
    const std::string speedPut = packet("R1B", "007D01" + speeds);
    QCOMPARE(line.longExchange(speedPut), speedPut);
    QCOMPARE(line.longExchange(packet("R1A", "007D01")).substr(12, 48), speeds);
    QCOMPARE(line.longExchange(packet("R15", "007D01")).substr(12, 32),
             std::string("0A141E28323C465001020304050607FF"));

    // Values the controller cannot hold are refused and nothing is written.
    const std::string tooBig = packet("R19", "002711" + std::string("70000") + positions.substr(5));
    QCOMPARE(line.longExchange(tooBig)[61], '1');
    const std::string typed = packet("R1B", "007D02" + std::string("abc") + speeds.substr(3));
    QCOMPARE(line.longExchange(typed)[61], '1');
    QCOMPARE(line.machine.flash().recordHex(10001), std::string(32, 'F'));

    // R17 erases everything.
    line.longExchange(packet("R17"));
    QCOMPARE(line.machine.flash().recordHex(10), std::string(32, 'F'));
}

void TestSimProtocol::shortCommandReplies_data() {
    QTest::addColumn<std::string>("request");
    QTest::addColumn<std::string>("reply");
    QTest::newRow("OE reads an EEPROM byte")
        << std::string("OE0007DDH") << std::string("OE000704H");
    QTest::newRow("OR reads a RAM byte (S1 high)")
        << std::string("OR0010DDH") << std::string("OR001005H");
    QTest::newRow("OF echoes the byte written")
        << std::string("OF12342AH") << std::string("OF12342AH");
    QTest::newRow("OS echoes the byte written")
        << std::string("OS8000FFH") << std::string("OS8000FFH");
    QTest::newRow("OU jogs up by 10") << std::string("OU001003H") << std::string("OU05E603H");
    QTest::newRow("OD jogs down by 1") << std::string("OD000108H") << std::string("OD05DB08H");
    QTest::newRow("OT is echoed") << std::string("OT002710H") << std::string("OT002710H");
    QTest::newRow("OO on is echoed") << std::string("OO0C1DDDH") << std::string("OO0C1DDDH");
    QTest::newRow("unknown letter") << std::string("OXDDDDDDH") << std::string("O?ERROR?H");
    QTest::newRow("jog of servo 9") << std::string("OU001009H") << std::string("O?ERROR?H");
    QTest::newRow("address not hex") << std::string("OEZZ00DDH") << std::string("O?ERROR?H");
    QTest::newRow("line beyond the flash") << std::string("OT008000H") << std::string("O?ERROR?H");
    QTest::newRow("wrong end") << std::string("OE0007DDX") << std::string("O?ERROR?H");
}

void TestSimProtocol::shortCommandReplies() {
    QFETCH(std::string, request);
    QFETCH(std::string, reply);
    Line line;
    QCOMPARE(QString::fromStdString(line.shortExchange(request)), QString::fromStdString(reply));
}

void TestSimProtocol::flashPageWrites() {
    Line line;
    const std::string digits = "0AFF0000" + std::string(520, 'F');
    QCOMPARE(line.send("#"), std::string("!"));
    const std::string ok = line.send("$00625" + digits);
    QCOMPARE(ok.size(), size_t(64));
    QCOMPARE(ok.substr(0, 5), std::string("OV0OK"));
    QCOMPARE(ok.substr(6, 5), std::string("00625"));
    QCOMPARE(line.machine.flash().recordHex(10000).substr(0, 8), std::string("0AFF0000"));
    QCOMPARE(line.protocol.counters().pageWrites, 1);

    // A bad page number or digits are answered without "OV0OK" and write nothing.
    line.send("#");
    QCOMPARE(line.send("$02048" + digits).substr(0, 5), std::string("OV0ER"));
    line.send("#");
    QCOMPARE(line.send("$00001" + std::string(527, 'F') + "G").substr(0, 5), std::string("OV0ER"));
    QCOMPARE(line.machine.flash().pageHex(1), std::string(528, 'F'));
}

void TestSimProtocol::packedRecordWriteAndRead() {
    Line line;
    const std::string record = "3C01271031F4FFFFFFFFFFFFFFFFFFFF2710FFFFFFFFFFFFFFFFFFFFFFFFFFFF";
    QCOMPARE(line.send("#"), std::string("!"));
    QCOMPARE(line.send("+OV0R1D000005" + record + "~"), std::string()); // no reply
    QCOMPARE(line.protocol.counters().packedWrites, 1);
    QCOMPARE(line.longExchange(packet("R1C", "000005")), record);
    // The two lines it occupies, as the flash shows them.
    QCOMPARE(line.longExchange(packet("R15", "000006")).substr(12, 32), record.substr(32));
}

void TestSimProtocol::parametersStoreAndReloadFromEeprom() {
    Line line;
    const std::string block = "0B0700000100000A05DC07D081000000";
    const std::string store = packet("R1W", "00000" + block);
    QCOMPARE(line.longExchange(store), store);
    QCOMPARE(line.longExchange(packet("R1R", "00000", 7, docomax)).substr(11, 32), block);
    // The memory editor changes the EEPROM copy; R1C through docomax reloads it.
    QCOMPARE(line.shortExchange("OF000714H"), std::string("OF000714H"));
    QCOMPARE(line.longExchange(packet("R1R", "00000", 7, docomax)).substr(25, 2),
             std::string("0A"));
    const std::string reload = packet("R1C", "00000", 7, docomax);
    QCOMPARE(line.longExchange(reload), reload);
    QCOMPARE(line.longExchange(packet("R1R", "00000", 7, docomax)).substr(25, 2),
             std::string("14"));
    // A block that is not hex is refused.
    QCOMPARE(line.longExchange(packet("R1W", "00000" + std::string(32, 'x')))[61], '1');
}

void TestSimProtocol::runPauseStopTakeNoReply() {
    Line line;
    line.machine.writeRecord(5, {0x0A, 0xFF, 0x00, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    // R05 from line 5: no reply, status records follow.
    const std::string run = line.longExchange(packet("R05", "000005"));
    QCOMPARE(run.substr(0, 2), std::string("AB"));
    QCOMPARE(run.size() % 24, size_t(0));
    QVERIFY(line.machine.runner().running());
    QCOMPARE(line.machine.runner().line(), 5);
    QCOMPARE(line.longExchange(packet("R07")), std::string());
    QVERIFY(line.machine.runner().paused());
    const std::string paused = line.send("", 300ms);
    QCOMPARE(paused.substr(14, 2), std::string("30"));
    const std::string stopped = line.longExchange(packet("R00"));
    QCOMPARE(stopped.size(), size_t(24));
    QCOMPARE(stopped.substr(14, 2), std::string("00"));
    QVERIFY(!line.machine.runner().running());
    QCOMPARE(line.send("", 2000ms), std::string());
}

void TestSimProtocol::attentionHandshake_data() {
    QTest::addColumn<int>("ignore");
    QTest::addColumn<int>("garble");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<std::string>("answers"); // to "&", "#", "x", "&", "&"
    QTest::newRow("plain") << 0 << 0 << false << std::string(":!::");
    QTest::newRow("first attention ignored") << 1 << 0 << false << std::string("!::");
    QTest::newRow("two garbled") << 0 << 2 << false << std::string("??::");
    QTest::newRow("one ignored then one garbled") << 1 << 1 << false << std::string("?::");
    QTest::newRow("silent") << 0 << 0 << true << std::string();
}

void TestSimProtocol::attentionHandshake() {
    QFETCH(int, ignore);
    QFETCH(int, garble);
    QFETCH(bool, silent);
    QFETCH(std::string, answers);
    ProtocolOptions options;
    options.faults.ignoreAttentions = ignore;
    options.faults.garbleAttentions = garble;
    options.faults.silent = silent;
    Line line(options);
    std::string got;
    for (const char* c : {"&", "#", "x", "&", "&"}) {
        got += line.send(c);
    }
    QCOMPARE(QString::fromStdString(got), QString::fromStdString(answers));
    QCOMPARE(line.protocol.counters().attentions, 4);
}

void TestSimProtocol::faultsDistortReplies_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<std::string>("request");
    QTest::addColumn<std::string>("reply");
    const std::string version = packet("R02", "", 7, docomax);
    const std::string withX = "OV0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000xXH~";
    QTest::newRow("error code at 62") << 0 << version << withX;
    QTest::newRow("short reply") << 1 << version << withX.substr(0, 40);
    QTest::newRow("unframed long")
        << 2 << version
        << std::string("--0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0--");
    QTest::newRow("unframed short") << 2 << std::string("OE0007DDH") << std::string("-E000704-");
}

void TestSimProtocol::faultsDistortReplies() {
    QFETCH(int, fault);
    QFETCH(std::string, request);
    QFETCH(std::string, reply);
    ProtocolOptions options;
    if (fault == 0) {
        options.faults.resultCode = 'X';
    } else if (fault == 1) {
        options.faults.resultCode = 'X';
        options.faults.shortReplyLength = 40;
    } else {
        options.faults.unframed = true;
    }
    Line line(options);
    const std::string got =
        request.size() == 9 ? line.shortExchange(request) : line.longExchange(request);
    QCOMPARE(QString::fromStdString(got), QString::fromStdString(reply));
}

void TestSimProtocol::lateReplyIsDueLate() {
    ProtocolOptions options;
    options.faults.replyDelay = 3000ms;
    Line line(options);
    QCOMPARE(line.send("&", 0ms), std::string(":")); // attention is not delayed
    QCOMPARE(line.send("$" + packet("R02", "", 7, docomax), 2999ms), std::string());
    QCOMPARE(line.protocol.nextEventTime(), std::optional<Millis>(3000ms));
    QCOMPARE(line.send("", 1ms).size(), size_t(64));
}

void TestSimProtocol::hangUpAfterPages() {
    ProtocolOptions options;
    options.faults.hangUpAfterPages = 2;
    Line line(options);
    const std::string page = std::string(528, 'F');
    for (const char* number : {"00001", "00002"}) {
        QCOMPARE(line.send("#"), std::string("!"));
        QCOMPARE(line.send("$" + std::string(number) + page).substr(0, 5), std::string("OV0OK"));
    }
    QVERIFY(line.protocol.hungUp());
    QCOMPARE(line.send("#"), std::string());
    QCOMPARE(line.send("&"), std::string());
}

void TestSimProtocol::unfinishedPacketIsGivenUp() {
    Line line;
    QCOMPARE(line.send("&"), std::string(":"));
    QCOMPARE(line.send("$OV0R15000001", 499ms), std::string());
    const std::string answer = line.send("", 1ms);
    QCOMPARE(answer.size(), size_t(64));
    QCOMPARE(answer.substr(0, 6), std::string("OV0R15"));
    QCOMPARE(answer[61], '1');
    QCOMPARE(line.protocol.counters().invalidPackets, 1);
    // A short packet cut short is dropped, and the next exchange works.
    line.send("&");
    QCOMPARE(line.send("-OE00", 600ms), std::string());
    QCOMPARE(line.shortExchange("OE0007DDH"), std::string("OE000704H"));
}

void TestSimProtocol::pacedLineTakesWireTime() {
    ProtocolOptions options;
    options.pace = true;
    Line line(options);
    // 57600 baud, 10 bits a character: "&" arrives after 0.17 ms, ":" after 0.35 ms.
    QCOMPARE(line.send("&", 0ms), std::string());
    QCOMPARE(line.protocol.nextEventTime(), std::optional<Millis>(1ms));
    QCOMPARE(line.send("", 1ms), std::string(":"));
    // 65 characters in (11.3 ms), 528 out (91.7 ms): the page is complete after 103 ms.
    std::string page = line.send("$" + packet("R14", "00000"), 100ms);
    QVERIFY(page.size() > 400 && page.size() < 528);
    page += line.send("", 3ms);
    QCOMPARE(page, std::string(528, 'F'));
}

void TestSimProtocol::statusRecordsStayOutOfExchanges() {
    Line line;
    line.machine.writeRecord(0, {0x0A, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    line.longExchange(packet("R05", "000000"));
    line.send("", 1130ms); // records at 0, 250 ... 1000; the next one is due at 1250 ms
    QCOMPARE(line.now, 1230ms);
    // The attention goes out at 1230 ms and the packet at 1260 ms: the record due meanwhile
    // is left out, the exchange gets ":" and its reply whole, and the stream goes on.
    std::string got = line.send("&", 30ms);
    got += line.send("$" + packet("R01", "000000"), 5ms);
    QCOMPARE(got.substr(0, 7), std::string(":OV0R01"));
    QCOMPARE(got.size(), size_t(65));
    QCOMPARE(line.send("", 300ms).substr(0, 2), std::string("AB"));
}

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "test_simprotocol.moc"
