// The status monitor: decoding status records into the status group's texts, and the listening
// loop on virtual time.
#include "console/statusmonitor.h"
#include "scriptedlink.h"

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
    void recordsBecomeTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // position|stack|loop|line|runstop|notifications
        auto textRow = [](const char* name, const std::string& text, const char* shown) {
            QTest::newRow(name) << QString::fromStdString(text) << QString(shown);
        };
        // A record of `position`, stack 3, loop 1, `mode`, `code` and `line`.
        auto row = [&textRow](const char* name, const char* position, const char* mode,
                              const char* code, const char* line, const char* shown) {
            textRow(name, record(position, mode, code, line), shown);
        };
        row("running, no errors", "000A", "10", "00", "00000C", "10|3|1|11|Running|0 - No errors");
        row("paused", "000A", "30", "00", "00000C", "10|3|1|11|Paused|0 - No errors");
        row("paused without running is stopped", "000A", "20", "00", "000001",
            "10|3|1|0|Stopped|0 - No errors");
        row("top bits ignored", "000A", "D0", "00", "00000C", "10|3|1|11|Running|0 - No errors");
        row("notification code in decimal", "0000", "10", "2A", "000001",
            "0|3|1|0|Running|42  Z Limit Switch hit");
        row("unknown code keeps the text", "0000", "10", "05", "000001", "0|3|1|0|Running|None");
        row("high values are positive", "FFFF", "10", "00", "FFFFFF",
            "65535|3|1|16777214|Running|0 - No errors");
        row("line zero", "0001", "10", "00", "000000", "1|3|1|-1|Running|0 - No errors");
        row("lower-case hex", "00ff", "10", "00", "00000a", "255|3|1|9|Running|0 - No errors");
        const std::string valid = record("0002", "10", "00", "000002");
        textRow("thirty characters: first 24", valid + "AB0003", "2|3|1|1|Running|0 - No errors");
        // Not a record: nothing changes.
        textRow("no mark", "XY" + valid.substr(2), "");
        textRow("read starting mid-record", valid.substr(3) + "AB0", "");
        row("not hex", "00G2", "10", "00", "000002", "");
        row("too short", "0002", "10", "00", "00002", "");
    }

    void recordsBecomeTexts() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        StatusDisplay display;
        QCOMPARE(decodeStatus(text.toStdString(), display), !shown.isEmpty());
        if (shown.isEmpty()) {
            QVERIFY(display == StatusDisplay());
            return;
        }
        QCOMPARE(QString::fromStdString(display.position + "|" + display.stack + "|" +
                                        display.loop + "|" + display.currentline + "|" +
                                        display.runstop + "|" + display.notifications),
                 shown);
    }

    // Records at 0.5, 1.5 and 2 s, something that is not one at 1 s; the monitor only listens,
    // until six seconds after the last record. Monitoring switched off is waitstatus's, and the
    // stream's with the monitor running.
    void monitorShowsRecordsUntilSilence() {
        ScriptedLink s;
        s.port.arriveAt(500ms, record("0001", "10", "00", "000001"));
        s.port.arriveAt(1000ms, "garbage that is long enough....");
        s.port.arriveAt(1500ms, record("0002", "10", "00", "000002"));
        s.port.arriveAt(2000ms, record("0003", "00", "00", "000003"));
        StatusDisplay display;
        QStringList shown;
        s.link.setMonitoring(true);
        statusmonitor(s.link, display,
                      [&](const StatusDisplay& d) { shown << QString::fromStdString(d.position); });
        QCOMPARE(shown.join(' '), QString("1 2 3"));
        QCOMPARE(s.now(), 8000ms);
        QVERIFY(s.port.writes().empty());
    }
};

QTEST_GUILESS_MAIN(StatusMonitorTest)
#include "test_statusmonitor.moc"
