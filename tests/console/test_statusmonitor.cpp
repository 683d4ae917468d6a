// The status monitor: decoding status records into the status group's texts, and the listening
// loop on virtual time.
#include "console/statusmonitor.h"
#include "link/packets.h"
#include "scriptedlink.h"

#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

std::string record(const char* position, const char* mode, const char* code, const char* line) {
    return std::string("AB") + position + "0003" + "0001" + mode + code + line;
}

} // namespace

class StatusMonitorTest : public QObject {
    Q_OBJECT
private slots:
    void recordsBecomeTexts_data();
    void recordsBecomeTexts();
    void monitorEndsSixSecondsAfterTheLastRecord();
    void monitorEndsWhenMonitoringIsSwitchedOff();
    void exchangeDuringTheMonitorStillWorks();
};

void StatusMonitorTest::recordsBecomeTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("decoded");
    QTest::addColumn<QString>("shown"); // position|stack|loop|line|runstop|notifications
    auto row = [](const char* name, const std::string& text, bool decoded, const char* shown) {
        QTest::newRow(name) << QString::fromStdString(text) << decoded << QString(shown);
    };
    row("running, no errors", record("000A", "10", "00", "00000C"), true,
        "10|3|1|11|Running|0 - No errors");
    row("paused", record("000A", "30", "00", "00000C"), true, "10|3|1|11|Paused|0 - No errors");
    row("paused without running is stopped", record("000A", "20", "00", "000001"), true,
        "10|3|1|0|Stopped|0 - No errors");
    row("top bits ignored", record("000A", "D0", "00", "00000C"), true,
        "10|3|1|11|Running|0 - No errors");
    row("z limit", record("0000", "10", "2A", "000001"), true, "0|3|1|0|Running|42  Z Limit Switch hit");
    row("x home", record("0000", "10", "20", "000001"), true, "0|3|1|0|Running|32  X Home Switch hit");
    row("invalid instruction", record("0000", "00", "32", "000001"), true,
        "0|3|1|0|Stopped|50  Invalid Instruction / Code");
    row("stack", record("0000", "00", "63", "000001"), true,
        "0|3|1|0|Stopped|99  Stack Over/Under Flow");
    row("unknown code keeps the text", record("0000", "10", "05", "000001"), true,
        "0|3|1|0|Running|None");
    row("high values are positive", record("FFFF", "10", "00", "FFFFFF"), true,
        "65535|3|1|16777214|Running|0 - No errors");
    row("line zero", record("0001", "10", "00", "000000"), true, "1|3|1|-1|Running|0 - No errors");
    row("lower-case hex", record("00ff", "10", "00", "00000a"), true,
        "255|3|1|9|Running|0 - No errors");
    row("thirty characters: first 24", record("0002", "10", "00", "000002") + "AB0003",
        true, "2|3|1|1|Running|0 - No errors");
    row("no mark", "XY" + record("0002", "10", "00", "000002").substr(2), false, "");
    row("read starting mid-record", record("0002", "10", "00", "000002").substr(3) + "AB0", false, "");
    row("not hex", record("00G2", "10", "00", "000002"), false, "");
    row("too short", record("0002", "10", "00", "00002"), false, "");
}

void StatusMonitorTest::recordsBecomeTexts() {
    QFETCH(QString, text);
    QFETCH(bool, decoded);
    QFETCH(QString, shown);
    StatusDisplay display;
    QCOMPARE(decodeStatus(text.toStdString(), display), decoded);
    if (!decoded) {
        QVERIFY(display == StatusDisplay());
        return;
    }
    QString actual = QString::fromStdString(display.position + "|" + display.stack + "|" +
                                            display.loop + "|" + display.currentline + "|" +
                                            display.runstop + "|" + display.notifications);
    QCOMPARE(actual, shown);
}

void StatusMonitorTest::monitorEndsSixSecondsAfterTheLastRecord() {
    ScriptedLink s;
    s.port.arriveAt(500ms, record("0001", "10", "00", "000001"));
    s.port.arriveAt(1000ms, "garbage that is long enough....");
    s.port.arriveAt(1500ms, record("0002", "10", "00", "000002"));
    s.port.arriveAt(2000ms, record("0003", "00", "00", "000003"));
    StatusDisplay display;
    std::vector<std::string> positions;
    s.link.setMonitoring(true);
    statusmonitor(s.link, display, [&](const StatusDisplay& d) { positions.push_back(d.position); });
    QCOMPARE(positions, (std::vector<std::string>{"1", "2", "3"}));
    QCOMPARE(display.runstop, std::string("Stopped"));
    QCOMPARE(s.now(), 8000ms);
    QVERIFY(s.port.writes().empty()); // the monitor only listens
}

void StatusMonitorTest::monitorEndsWhenMonitoringIsSwitchedOff() {
    ScriptedLink s;
    s.port.arriveAt(500ms, record("0001", "10", "00", "000001"));
    s.time.at(700ms, [&] { s.link.setMonitoring(false); });
    s.port.arriveAt(900ms, record("0002", "10", "00", "000002"));
    StatusDisplay display;
    int shown = 0;
    s.link.setMonitoring(true);
    statusmonitor(s.link, display, [&](const StatusDisplay&) { ++shown; });
    QCOMPARE(shown, 1);
    QCOMPARE(s.now(), 700ms);
    QCOMPARE(display.position, std::string("1"));
}

void StatusMonitorTest::exchangeDuringTheMonitorStillWorks() {
    ScriptedLink s;
    s.port.expect("&").answer(":", 10ms);
    s.port.expect("$" + packet::longRequest("R15")).answer(longReply("R15"), 10ms);
    // A click during the monitor's wait: the exchange takes its own reply.
    bool exchanged = false;
    s.time.at(1000ms, [&] {
        s.g().packet = packet::longRequest("R15");
        s.link.rawsender();
        exchanged = true;
    });
    s.port.arriveAt(2000ms, record("0004", "10", "00", "000004"));
    StatusDisplay display;
    s.link.setMonitoring(true);
    statusmonitor(s.link, display, {});
    QVERIFY(exchanged);
    QCOMPARE(s.g().errcode, std::string("0"));
    QCOMPARE(display.position, std::string("4"));
    PKIVO_VERIFY_SCRIPT(s.port);
}

QTEST_GUILESS_MAIN(StatusMonitorTest)
#include "test_statusmonitor.moc"
