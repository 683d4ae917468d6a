// The link against the virtual controller in the same process, on virtual time: a program
// written page by page through flashwait is the program the controller runs, and its status
// records reach waitstatus one by one until it stops.
#include "link/link.h"
#include "link/packets.h"
#include "sim/simport.h"
#include "stdstringtesting.h"

#include <QTest>

#include <string>
#include <vector>

using namespace pkivo;

namespace {

// A page line: the page number, then 16 records of 32 digits (the slots not given stay erased)
// and 16 further digits.
std::string pageLine(const std::string& number, const std::vector<std::string>& records) {
    std::string page;
    for (const std::string& record : records) {
        page += record + std::string(32 - record.size(), 'F');
    }
    return number + page + std::string(packet::flashPageLength - page.size(), 'F');
}

// A status record of a program whose servos stand still at 0 with nothing on its stack:
// "AB", position, stack, loop counter, mode, notification, and the line after the one it
// carried out last.
std::string statusRecord(const std::string& loop, const std::string& mode,
                         const std::string& line) {
    return "AB" + std::string(8, '0') + loop + mode + "00" + line;
}

} // namespace

class TestLinkSim : public QObject {
    Q_OBJECT

private slots:
    void programWrittenByPagesRunsUntilItStops_data() {
        QTest::addColumn<std::vector<std::string>>("pages");
        QTest::addColumn<std::string>("stream"); // what waitstatus reads, record by record
        // Reported 4 times a second and once more when it stops.
        QTest::newRow("DO 2 / WAIT 200 / LOOP / STOP")
            << std::vector<std::string>{pageLine("00000", {"1EFF0002", "28FF00C8", "20", "80"})}
            << statusRecord("0002", "10", "000001") + statusRecord("0001", "10", "000002") +
                   statusRecord("0000", "00", "000004");
        // Page 1 holds lines 16 to 31.
        QTest::newRow("GOTO 16 / (page 1) WAIT 200 / STOP")
            << std::vector<std::string>{pageLine("00000", {"0AFF0010"}),
                                        pageLine("00001", {"28FF00C8", "80"})}
            << statusRecord("0000", "10", "000001") + statusRecord("0000", "00", "000012");
    }
    void programWrittenByPagesRunsUntilItStops() {
        QFETCH(std::vector<std::string>, pages);
        QFETCH(std::string, stream);
        sim::SimulatedLine line;
        Link link(line.port, line.time);
        QVERIFY(line.port.open());
        LinkGlobals& g = link.globals();
        for (const std::string& page : pages) {
            g.timedout = false;
            g.packdata = page;
            link.flashwait();
            QVERIFY(packet::isPageWritten(g.packet));
        }
        g.packet = packet::runProgram(0);
        link.sendonly();
        QCOMPARE(g.errcode, std::string("0"));
        link.setMonitoring(true);
        std::string heard;
        do {
            link.waitstatus();
            heard += g.tempstr1;
        } while (g.tempstr1.size() == packet::status::length &&
                 cut(g.tempstr1, packet::status::mode) != "00");
        QCOMPARE(heard, stream);
        QCOMPARE(line.protocol.counters().statusRecords,
                 int(stream.size() / packet::status::length));
    }
};

QTEST_GUILESS_MAIN(TestLinkSim)
#include "test_link_sim.moc"
