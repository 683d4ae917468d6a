// Every transfer routine and opencomport against every fault of the virtual controller, on
// virtual time: each ends exactly when its time limits say, with its result code, leaves the
// link free, and never reports a request as done that the controller did not take.
#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"
#include "recordingui.h"
#include "sim/simport.h"
#include "stdstringtesting.h"

#include <array>
#include <functional>

using namespace pkivo;
using namespace std::chrono_literals;
using S = std::string;

namespace {

enum Fault { silence, late, shortReply, unframed, garbage, errorCode, hangUp, pulled };
const char* const faultNames[] = {"silence",        "late reply",        "short reply",
                                  "unframed reply", "garbage attention", "error code",
                                  "hang-up",        "pulled line"};
// In the order of Fault. A late reply comes past every reply limit; a short one is shorter
// than a short reply.
const sim::FaultOptions faults[] = {{.silent = true},          {.replyDelay = 11s},
                                    {.shortReplyLength = 8},   {.unframed = true},
                                    {.garbleAttentions = 100}, {.resultCode = '2'},
                                    {.hangUpAtPacket = 1},     {.pullLineAtPacket = 1}};

// What one routine does against one fault: errcode (opencomport: the board field) and the
// virtual time it ended at.
struct Cell {
    S outcome;
    int endsAt; // ms
};
using Fill = std::function<void(LinkGlobals&)>;
// A routine with a request the controller can carry out, its attention attempts and its row of
// the matrix, one cell per fault.
struct Routine {
    const char* name;
    Link::Routine run; // nothing: opencomport on port 01
    int attempts;
    const char* refusal; // linkstatus when no attempt was answered ready
    Fill fill;
    std::array<Cell, 8> cells;
};

Fill packetIs(const S& text) {
    return [text](LinkGlobals& g) { g.packet = text; };
}
Fill packdataIs(const S& text) {
    return [text](LinkGlobals& g) { g.packdata = text; };
}
const S digits = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
// The board parameters through docomax's data block: "00000", the block, filler.
const Fill storeParameters = [](LinkGlobals& g) {
    packet::startDocomax({.cmdcode = "R1W", .datablock = "00000" + digits.substr(0, 36)}, g);
};
const S record = digits.substr(32);
const S board = " Version SIM 1   Port: 01";
const char *const unable = "Unable to Connect", *const cannot = "Cannot Connect";
const S none(unknownBoard);

// A handshake refused or unanswered ends with "Z" after the routine's attempts; a reply late,
// short or never sent with "Z" at the reply limit; a pulled line with "7" at once. No reply is
// awaited by packwriter and sendonly; short replies carry no result code, and rawsender reads
// none (the window shows the reply). opencomport: 4 ticks of Timer1 (300 ms) for ':', then 3 s
// for "Version" at 7-13, which is all it looks at.
// clang-format off
const Routine routines[] = {
//                                 silence       late          short reply   unframed
//                                 garbage       error code    hang-up       pulled line
    {"binreceiver", &Link::binreceiver, 1, unable, packetIs(packet::readFlashPage("1")),
                                 {{{"Z", 6000},  {"Z", 6000},  {"Z", 6000},  {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"Z", 6000},  {"7", 0}}}},
    {"packreceiver", &Link::packreceiver, 1, unable, packetIs(packet::readPacked(16)),
                                 {{{"Z", 6000},  {"Z", 6000},  {"Z", 6000},  {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"Z", 6000},  {"7", 0}}}},
    {"binsender", &Link::binsender, 4, unable, packdataIs("00002" + S(528, 'A')),
                                 {{{"Z", 8000},  {"Z", 8000},  {"Z", 8000},  {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"Z", 8000},  {"7", 0}}}},
    {"packwriter", &Link::packwriter, 4, unable, packdataIs(packet::packedWriteData(32, digits)),
                                 {{{"Z", 8000},  {"0", 0},     {"0", 0},     {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"0", 0},     {"7", 0}}}},
    {"rawsender", &Link::rawsender, 4, unable, packetIs(packet::writeInstruction(48, record)),
                                 {{{"Z", 8000},  {"Z", 10000}, {"Z", 10000}, {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"Z", 10000}, {"7", 0}}}},
    {"sendonly", &Link::sendonly, 4, cannot, packetIs(packet::stopProgram()),
                                 {{{"Z", 8000},  {"0", 0},     {"0", 0},     {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"0", 0},     {"7", 0}}}},
    {"smallcomax", &Link::smallcomax, 4, cannot, packetIs(packet::writeEeprom(0x0400, 0x5A)),
                                 {{{"Z", 8000},  {"Z", 6000},  {"Z", 6000},  {"0", 0},
                                   {"Z", 0},     {"0", 0},     {"Z", 6000},  {"7", 0}}}},
    {"docomax", &Link::docomax, 3, cannot, storeParameters,
                                 {{{"Z", 3000},  {"Z", 6000},  {"Z", 6000},  {"0", 0},
                                   {"Z", 0},     {"2", 0},     {"Z", 6000},  {"7", 0}}}},
    {"opencomport", nullptr, 1, "", {},
                                 {{{none, 300},  {none, 3000}, {none, 3000}, {board, 0},
                                   {none, 0},    {board, 0},   {none, 3000}, {none, 0}}}},
};
// clang-format on

} // namespace

Q_DECLARE_METATYPE(const Routine*)
Q_DECLARE_METATYPE(Fault)

class TestFaultMatrix : public QObject {
    Q_OBJECT

private slots:
    void eachRoutineMeetsEachFault_data() {
        QTest::addColumn<const Routine*>("r");
        QTest::addColumn<Fault>("fault");
        for (const Routine& r : routines) {
            for (int fault = silence; fault <= pulled; ++fault) {
                QTest::addRow("%s, %s", r.name, faultNames[fault]) << &r << Fault(fault);
            }
        }
    }
    void eachRoutineMeetsEachFault() {
        QFETCH(const Routine*, r);
        QFETCH(Fault, fault);
        const Cell& c = r->cells[fault];
        sim::SimulatedLine line({.faults = faults[fault]});
        Link link(line.port, line.time);
        test::RecordingUi ui;
        LinkGlobals& g = link.globals();
        line.port.open();
        const bool refused = fault == silence || fault == garbage;
        if (r->run != nullptr) {
            r->fill(g);
            const LinkGlobals request = g;
            QVERIFY((link.*r->run)());
            QCOMPARE(g.errcode, c.outcome);
            QCOMPARE(g.timedout, r->run == &Link::binsender && fault == silence);
            if (refused) { // nothing was sent; docomax leaves the request it built in packet
                QCOMPARE(g.linkstatus, S(r->refusal));
                QCOMPARE(g.packdata, request.packdata);
                QVERIFY(g.packet == request.packet || r->run == &Link::docomax);
            }
            if (r->run != &Link::packwriter) { // which leaves errtext and replyparm3 alone
                QCOMPARE(g.errtext, S(result::text(g.errcode)));
                QVERIFY(g.errcode == "0" || g.replyparm3 == "000");
            }
        } else {
            const bool connects = c.outcome == board;
            QCOMPARE(link.opencomport({.comport = "01"}, ui),
                     connects ? ConnectResult::Connected : ConnectResult::Failed);
            QCOMPARE(link.boardinfo(), c.outcome);
            QCOMPARE(ui.messages.size(), size_t(connects ? 0 : 1));
        }
        QCOMPARE(line.time.now(), Millis(c.endsAt));
        QVERIFY(!link.isExchanging());
        const sim::ProtocolCounters& n = line.protocol.counters();
        QCOMPARE(n.attentions, refused ? r->attempts : 1);
        // "0" means the controller took the request: no write passes for done that never came.
        const int taken = n.longPackets + n.shortPackets + n.pageWrites + n.packedWrites;
        QVERIFY(r->run == nullptr || g.errcode != "0" || taken == 1);
        // A pulled line stays pulled: the next exchange ends at once and sends nothing.
        if (fault == pulled) {
            QVERIFY(!line.port.isOpen() && line.port.lineLost());
            link.request(routines[0].fill, routines[0].run);
            QCOMPARE(g.errcode + " " + g.errtext, S("7 Serial port not open"));
            QCOMPARE(line.time.now(), Millis(c.endsAt));
            QCOMPARE(n.attentions, 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "test_faultmatrix.moc"
