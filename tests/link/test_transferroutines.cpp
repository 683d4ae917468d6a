// The transfer routines against a scripted controller on virtual time: what each routine
// leaves in the globals, flashwait's limits, the busy rule and status records around the
// handshakes. Faults of the controller and the line are test_faultmatrix's.
#include "scriptedlink.h"

#include "link/packets.h"

#include <algorithm>
#include <functional>

using namespace pkivo;
using S = std::string;
using namespace pkivo::test;

namespace {

struct Routine {
    const char* name;
    Link::Routine run;
    char attention;
    S ready() const { return attention == '#' ? "!" : ":"; }
};

const std::vector<Routine> routines{
    {"binreceiver", &Link::binreceiver, '&'}, {"packreceiver", &Link::packreceiver, '&'},
    {"binsender", &Link::binsender, '#'},     {"packwriter", &Link::packwriter, '#'},
    {"rawsender", &Link::rawsender, '&'},     {"sendonly", &Link::sendonly, '&'},
    {"smallcomax", &Link::smallcomax, '&'},   {"docomax", &Link::docomax, '&'},
};

const Routine& routine(const S& name) {
    return *std::find_if(routines.begin(), routines.end(),
                         [&](const Routine& r) { return r.name == name; });
}

const S request = packet::readInstruction(10);
const S pageLine = "00001" + S(528, 'F');
const S record = "AB000A00030001100000000C";
const S tail = record.substr(10); // what is left of a record joined in its middle
const S block = "0123456789ABCDEF0123456789ABCDEF012345678"; // 41 digits
// What docomax sends for R1W with the data block: with its first attempt, and without it
// with every later one.
const S docomaxFirst = "$OV0R1W" + block + "xxx000x000000x0H~";
const S docomaxLater = "$OV0R1W000000xxx" + S(32, 'D') + "xxx000x000000x0H~";

// A scripted link whose globals hold a request for every routine.
struct Prepared : ScriptedLink {
    Prepared() {
        packet::putDocomaxFields({"R1W", "00000", "000", "000", "000", block}, g());
        g().packet = request;
        g().packdata = pageLine;
        g().errcode = "X";
        g().errtext = "previous text";
    }
    void run(const Routine& r) { (link.*r.run)(); }
    // One attempt for each of `answers`, answered with it 1 ms after the attention character
    // (" ": not at all).
    void expectAttempts(char attention, const S& answers) {
        for (char answer : answers) {
            auto& step = port.expect(S(1, attention));
            if (answer != ' ') {
                step.answer(S(1, answer), 1ms);
            }
        }
    }
};

// A routine that ran to its end: stale input before it, the answers to the attempts before
// the ready one (" ": none) and that one's delay, the reply in two pieces 5 and 9 ms after the
// request; `fields` are datablock, then cmdparm1, cmdparm2 and replyparm3.
struct Delivery {
    S routine, stale, earlier, sent, reply, packet, packdata, packetstatus, fields;
    int readyAfter, endsAt;
    S result = "0 No errors"; // errcode and errtext
    S ready = {};             // the answer to the attention, when not the ready character alone
};
// The answers to each "#", 1 ms after it (" ": none); Pause clicked at 2 s by a window that
// writes `packet` before calling, as the run buttons once did.
struct Flashwait {
    S answers, errcode;
    int endsAt;
    bool pageSent, pauseAt2s = false;
};
// What arrives at 500 and 700 ms; at 800 ms monitoring switched "off", or the line "lost".
struct Watch {
    S arrives, later, at800, tempstr1;
    int endsAt;
};

} // namespace

Q_DECLARE_METATYPE(Link::Routine)
Q_DECLARE_METATYPE(Delivery)
Q_DECLARE_METATYPE(Flashwait)
Q_DECLARE_METATYPE(Watch)

class TestTransferRoutines : public QObject {
    Q_OBJECT

private slots:
    void eachRoutineDeliversItsReply_data() {
        using D = Delivery;
        QTest::addColumn<D>("d");
        const S valid(packet::validPacket), invalid(packet::invalidPacket), ok = "0 No errors";
        const S out = "$" + request, kept = block + " 000000";
        auto fields = [](const S& r) { return cut(r, packet::dataBlock) + " " + S(9, '-'); };
        const S r15 = longReply("R15", "00000A0123456789ABCDEF0123456789ABCDEF", '0');
        const S r1w = longReply("R1W", "REPLYDATA", '0');
        // Fields are cut out of a reply that is not a valid packet as well.
        const S odd = S(6, '.') + "DAT" + S(41, '.') + "ABC.DEFGHI" + S(4, '.');
        const S oddFields = "DAT" + S(38, '.') + " ABCDEFGHI";
        const S wrapped = "+" + pageLine + "~", page = S(530, 'A'), pageOk = longReply("K");
        const S orReply = "OR1234A5Hxy"; // taken whole, with what came after it
        QTest::newRow("rawsender, third attempt")
            << D{"rawsender", "", "  ", out, r15, r15, pageLine, valid, fields(r15), 3, 4012};
        QTest::newRow("rawsender, malformed reply")
            << D{"rawsender", "", "", out, odd, odd, pageLine, invalid, oddFields, 0, 9};
        QTest::newRow("docomax, data block with the first attempt")
            << D{"docomax", "", "", docomaxFirst, r1w, r1w, pageLine, valid, fields(r1w), 0, 9};
        QTest::newRow("docomax, second attempt 1 s later without it")
            << D{"docomax", "", " ", docomaxLater, r1w, r1w, pageLine, valid, fields(r1w), 0, 1009};
        QTest::newRow("smallcomax") << D{
            "smallcomax", "junk", "", "-" + request, orReply, orReply, pageLine, valid, kept, 0, 9};
        // Within the single attempt of 6 s.
        QTest::newRow("binreceiver")
            << D{"binreceiver", "", "", out, page, "", page, "", kept, 5000, 5009};
        QTest::newRow("binsender")
            << D{"binsender", "", "", "$" + pageLine, pageOk, pageOk, pageLine, "", kept, 1, 10};
        QTest::newRow("packwriter, errtext left alone") << D{
            "packwriter", "", "", wrapped, "", request, wrapped, "", kept, 0, 0, "0 previous text"};
        // The answer to "&" behind or between the characters of a running program's status
        // record; the input before the routine is gone.
        QTest::newRow("sendonly, ':' behind a record's tail, stale input gone")
            << D{"sendonly", "AB", "", out, "", out, pageLine, "", kept, 5, 5, ok, tail + ":"};
        QTest::newRow("sendonly, ':' between a record's characters")
            << D{"sendonly", "", "", out, "", out, pageLine, "", kept, 5, 5, ok, "AB000A:00030001"};
    }
    void eachRoutineDeliversItsReply() {
        QFETCH(Delivery, d);
        const Routine& r = routine(d.routine);
        Prepared s;
        const LinkGlobals& g = s.g();
        s.port.arriveAt(0ms, d.stale);
        s.time.runUntil(0ms);
        s.expectAttempts(r.attention, d.earlier);
        const S ready = d.ready.empty() ? r.ready() : d.ready;
        s.port.expect(S(1, r.attention)).answer(ready, Millis(d.readyAfter));
        auto& sent = s.port.expect(d.sent);
        if (!d.reply.empty()) {
            sent.answer(d.reply.substr(0, d.reply.size() / 2), 5ms);
            sent.answer(d.reply.substr(d.reply.size() / 2), 9ms);
        }
        s.run(r);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.now(), Millis(d.endsAt));
        QCOMPARE(g.packet, d.packet);
        QCOMPARE(g.packdata, d.packdata);
        QCOMPARE(g.packetstatus, d.packetstatus);
        QCOMPARE(g.datablock + " " + g.cmdparm1 + g.cmdparm2 + g.replyparm3, d.fields);
        QCOMPARE(g.errcode + " " + g.errtext, d.result);
        QCOMPARE(g.linkstatus, S("Connected"));
        QCOMPARE(g.tempstr1, ready); // without the stale characters
        QVERIFY(!g.timedout);
    }

    // A page that gets no reply fails after flashwait's 30 s, also when Pause is clicked while it
    // waits; one whose handshake lapsed once is not sent at all and fails at once.
    void flashwaitTimeLimits_data() {
        QTest::addColumn<Flashwait>("f");
        QTest::newRow("no ready answer") << Flashwait{"????", "Z", 30004, false};
        QTest::newRow("no reply to the page") << Flashwait{"!", "Z", 38001, true};
        QTest::newRow("Pause during the page wait") << Flashwait{"!", "Z", 38001, true, true};
        QTest::newRow("handshake lapsed once") << Flashwait{" !", "0", 2001, false};
    }
    void flashwaitTimeLimits() {
        QFETCH(Flashwait, f);
        Prepared s;
        s.g().packet.clear(); // as the download does before each page
        s.expectAttempts('#', f.answers);
        if (f.pageSent) {
            s.port.expect("$" + pageLine);
        }
        if (f.pauseAt2s) {
            s.time.at(2s, [&] {
                s.g().packet = packet::pauseProgram();
                s.link.sendonly();
            });
        }
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, f.pauseAt2s ? packet::pauseProgram() : S());
        QCOMPARE(s.g().errcode, f.errcode);
        QVERIFY(s.g().timedout);
        QCOMPARE(s.now(), Millis(f.endsAt));
    }

    // A click handled while docomax waits, by a window that writes its request into `packet`
    // first: the second routine sends nothing, changes no other global (a refused flashwait only
    // sets timedout: its page was not written, the download stops) and returns false at once;
    // through request() the window's own fill never runs. docomax goes on as if nothing had
    // happened and sends what it built.
    void secondExchangeIsRefusedWhileOneIsOnTheWire_data() {
        QTest::addColumn<Link::Routine>("second");
        for (const Routine& r : routines) {
            QTest::newRow(r.name) << r.run;
        }
        QTest::newRow("flashwait") << Link::Routine(&Link::flashwait);
    }
    void secondExchangeIsRefusedWhileOneIsOnTheWire() {
        QFETCH(Link::Routine, second);
        Prepared s;
        const S reply = longReply("R1W");
        expectExchange(s.port, docomaxFirst, reply, 3s, 700ms);
        bool filled = false;
        s.time.at(500ms, [&] {
            s.g().packet = "OR0010DDH";
            LinkGlobals expected = s.g();
            expected.timedout = second == &Link::flashwait;
            QVERIFY(!(s.link.*second)());
            QVERIFY(!s.link.request([&](LinkGlobals&) { filled = true; }, second));
            QVERIFY(s.g() == expected);
            QCOMPARE(s.now(), 500ms);
        });
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QVERIFY(!filled);
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode + " " + s.g().errtext, S("0 No errors"));
        QCOMPARE(s.now(), 3700ms);
    }

    // waitstatus and an exchange, each started inside the other's wait: the exchange gets its
    // whole reply; the monitor takes none of it and goes on with the next record, or, inside
    // the exchange, returns at once with nothing.
    void monitorAndExchangeShareTheLine_data() {
        QTest::addColumn<bool>("monitorWaits");
        QTest::newRow("exchange during the monitor's wait") << true;
        QTest::newRow("monitor during the exchange's wait") << false;
    }
    void monitorAndExchangeShareTheLine() {
        QFETCH(bool, monitorWaits);
        Prepared s;
        s.link.setMonitoring(true);
        const S reply = longReply("R15", "00000A");
        expectExchange(s.port, "$" + request, reply, 30ms, 10ms);
        s.port.arriveAt(2s, record);
        const std::function<void()> exchange = [&] { s.link.rawsender(); };
        const std::function<void()> monitor = [&] { s.link.waitstatus(); };
        s.time.at(monitorWaits ? 1s : 20ms, monitorWaits ? exchange : monitor);
        monitorWaits ? monitor() : exchange();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().errcode + " " + s.g().packet, "0 " + reply);
        QCOMPARE(s.g().tempstr1, monitorWaits ? record : S()); // what the monitor read
        QCOMPARE(s.now(), monitorWaits ? 2000ms : 40ms);
    }

    void waitstatusEnds_data() {
        QTest::addColumn<Watch>("w");
        QTest::newRow("record") << Watch{record, "", "", record, 500};
        QTest::newRow("longer read") << Watch{record + "xxxxxx", "", "", record + "xxxxxx", 500};
        QTest::newRow("silence") << Watch{"AB00", "", "", "AB00", 6000};
        QTest::newRow("monitoring off") << Watch{"AB00", "", "off", "AB00", 800};
        QTest::newRow("line lost") << Watch{"AB00", "", "lost", "", 800};
        // Listening began in the middle of a record: its tail is dropped and the next record
        // awaited whole, so the monitor keeps step with the stream.
        QTest::newRow("after a record's tail")
            << Watch{tail + record.substr(0, 10), record.substr(10), "", record, 700};
    }
    void waitstatusEnds() {
        QFETCH(Watch, w);
        Prepared s;
        s.link.setMonitoring(true);
        s.port.arriveAt(500ms, w.arrives);
        s.port.arriveAt(700ms, w.later);
        if (w.at800 == "off") {
            s.time.at(800ms, [&] { s.link.setMonitoring(false); });
        } else if (w.at800 == "lost") {
            s.port.loseLineAt(800ms);
        }
        s.link.waitstatus();
        QCOMPARE(s.now(), Millis(w.endsAt));
        QCOMPARE(s.g().tempstr1, w.tempstr1);
        QCOMPARE(s.g().errcode == "7", w.at800 == "lost");
        QVERIFY(s.port.writes().empty());
    }
};

QTEST_GUILESS_MAIN(TestTransferRoutines)
#include "test_transferroutines.moc"
