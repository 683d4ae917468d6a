// A program that never ends streams status records while the user connects, stops, pauses or
// watches it: against the virtual controller pacing its line, on virtual time, at slow and fast
// baud rates and at report rates up to what the line can carry. Every row is tried from 20
// moments of the stream, so the attention answer lands behind, and amid, every part of a record.
#include "console/runcommands.h"
#include "console/statusmonitor.h"
#include "link/link.h"
#include "link/packets.h"
#include "recordingui.h"
#include "sim/simport.h"

#include <QTest>

using namespace pkivo;
using namespace std::chrono_literals;

namespace {

// GOTO 0 at line 0: a program that runs until it is stopped.
void startEndlessProgram(sim::Machine& machine, int reportRate) {
    auto params = sim::BoardParams::defaults();
    params[sim::BoardParams::reportRateByte] = uint8_t(reportRate);
    machine.storeParams(params);
    sim::FlashMemory::Record goto0;
    sim::hexToBytes("0AFF0000" + std::string(24, 'F'), goto0.data(), goto0.size());
    machine.writeRecord(0, goto0);
    machine.run(0, machine.now());
}

} // namespace

class StreamingTest : public QObject {
    Q_OBJECT
private slots:
    void exchangesGetThroughTheStream_data();
    void exchangesGetThroughTheStream();
};

void StreamingTest::exchangesGetThroughTheStream_data() {
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("rate"); // records a second asked for; the line may carry fewer
    QTest::addColumn<QString>("action");
    for (const QString action : {"stop", "pause", "monitor", "connect"}) {
        for (int baud : {2400, 9600, 57600}) {
            // The board's default, then more than even 57,600 baud carries back to back.
            for (int rate : {0, 100}) {
                const QString name =
                    QString("%1 at %2 baud, rate %3").arg(action).arg(baud).arg(rate);
                QTest::newRow(name.toLatin1()) << baud << rate << action;
            }
        }
    }
}

void StreamingTest::exchangesGetThroughTheStream() {
    QFETCH(int, baud);
    QFETCH(int, rate);
    QFETCH(QString, action);
    for (int attempt = 0; attempt < 20; ++attempt) {
        sim::SimulatedLine line({.pace = true, .baud = baud, .faults = {}});
        startEndlessProgram(line.machine, rate);
        // Let the stream run, then step into it at a different moment each time.
        line.time.runUntil(1000ms + Millis(attempt * 23));
        Link link(line.port, line.time);
        test::RecordingUi ui;
        const PortSettings settings{.comport = "01", .combaud = std::to_string(baud)};
        const std::string at = QString("attempt %1").arg(attempt).toStdString();
        QVERIFY2(link.opencomport(settings, ui) == ConnectResult::Connected, at.c_str());
        QVERIFY2(link.boardinfo().starts_with(" Version"), at.c_str());
        if (action == "stop" || action == "pause") {
            const bool stop = action == "stop";
            const RunCommandResult sent =
                sendRunCommand(link, stop ? packet::stopProgram() : packet::pauseProgram());
            QVERIFY2(sent.sent(), (at + ": " + sent.errcode + " " + sent.errtext).c_str());
            // The packet is on the wire for up to 280 ms at 2400 baud.
            line.time.runUntil(line.time.now() + 500ms);
            QVERIFY2(line.machine.runner().running() == !stop, at.c_str());
            QVERIFY2(line.machine.runner().paused() == !stop, at.c_str());
        } else if (action == "monitor") {
            StatusDisplay display;
            int shown = 0;
            link.setMonitoring(true);
            const Millis start = line.time.now();
            statusmonitor(link, display, [&](const StatusDisplay& d) {
                QCOMPARE(d.runstop, std::string("Running"));
                if (++shown == 3) {
                    link.setMonitoring(false);
                }
            });
            QVERIFY2(shown == 3, at.c_str());
            // Three records at most a report interval apart (250 ms), plus the one cut short.
            QVERIFY2(line.time.now() - start <= 1000ms, at.c_str());
        }
        QVERIFY2(ui.messages.empty(), at.c_str());
    }
}

QTEST_GUILESS_MAIN(StreamingTest)
#include "test_streaming.moc"
