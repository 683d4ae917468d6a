// On virtual time: a rawsender cut off by a lost line ends "7" and is never resent; the port is
// tried every 500 ms, the version shown, the monitor resumed. Off, the port stays closed.
#include "console/linekeeper.h"
#include "console/statusmonitor.h"
#include "platform/virtual/virtualticker.h"
#include "scriptedlink.h"

using namespace pkivo;
using namespace pkivo::test;

namespace {

using S = std::string;
const S request = "OV0R1R00000000000000000000000000000000000000000000000000000000H~";
const S versionRequest = "$OV0R02000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxx000xxxx0H~";
const S versionReply = "OV0R02Version 2.1.0ABxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx0H~";
const S record = "AB000A00030001100000000C";

struct Row {
    bool enabled;
    Millis backAt;        // the port opens again from here on
    std::vector<S> board; // every text the board field was given
    Millis reconnectAt;   // when the reconnect's "&" went out; -1: never
};

} // namespace

Q_DECLARE_METATYPE(Row)

class LineKeeperTest : public QObject {
    Q_OBJECT
private slots:
    void lostLineIsReconnectedAndListenedToAgain_data() {
        QTest::addColumn<Row>("r");
        const S back = " Version 2.1.0   Port: 01";
        QTest::newRow("back at once: the first poll")
            << Row{true, 300ms, {"Reconnecting\xE2\x80\xA6", back}, 610ms};
        QTest::newRow("back after 1.2 s: the third poll")
            << Row{true, 1200ms, {"Reconnecting\xE2\x80\xA6", back}, 1610ms};
        QTest::newRow("switched off: the port stays closed")
            << Row{false, 300ms, {" Unknown"}, -1ms};
    }
    void lostLineIsReconnectedAndListenedToAgain() {
        QFETCH(Row, r);
        ScriptedLink s;
        VirtualTicker ticker(s.time);
        LineKeeper keeper(s.link, s.time, ticker, [] { return PortSettings{.comport = "01"}; });
        keeper.setEnabled(r.enabled);
        std::vector<S> board;
        keeper.setBoardShown([&](const S& text) { board.push_back(text); });
        s.port.setOpenablePorts({});
        s.time.at(r.backAt, [&] { s.port.setOpenablePorts({1}); });
        expectAttended(s.port, "$" + request, 10ms).loseLine(100ms);
        if (r.enabled) {
            expectExchange(s.port, versionRequest, versionReply, 20ms, 10ms);
        }
        s.port.arriveAt(3000ms, record);

        QVERIFY(s.link.request([](LinkGlobals& g) { g.packet = request; }, &Link::rawsender));
        QCOMPARE(s.g().errcode, S("7"));
        StatusDisplay shown;
        int records = 0;
        s.link.setMonitoring(true);
        do {
            statusmonitor(s.link, shown, [&](const StatusDisplay&) { ++records; });
        } while (keeper.awaitLine());

        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(board, r.board);
        QCOMPARE(s.link.isPortUp(), r.enabled);
        QCOMPARE(records, r.enabled ? 1 : 0);
        const auto& writes = s.port.writes();
        QCOMPARE(writes.size() > 2 ? writes[2].at : -1ms, r.reconnectAt);
    }
};

QTEST_GUILESS_MAIN(LineKeeperTest)
#include "test_linekeeper.moc"
