// The transfer routines against a scripted controller on virtual time: attempts and time
// limits, result codes, what each routine leaves in the globals, a lost line, the busy rule
// and status records around the handshakes.
#include "scriptedlink.h"

#include "link/packets.h"

#include <QTest>

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
    int attempts;
    Millis attemptTime;
    int replyLength; // 0: no reply awaited
    Millis replyTime;
    const char* refused; // linkstatus after a wrong or missing answer
    S ready() const { return attention == '#' ? "!" : ":"; }
};

const std::vector<Routine> routines{
    {"binreceiver", &Link::binreceiver, '&', 1, 6s, 528, 6s, "Unable to Connect"},
    {"packreceiver", &Link::packreceiver, '&', 1, 6s, 64, 6s, "Unable to Connect"},
    {"binsender", &Link::binsender, '#', 4, 2s, 64, 8s, "Unable to Connect"},
    {"packwriter", &Link::packwriter, '#', 4, 2s, 0, 0s, "Unable to Connect"},
    {"rawsender", &Link::rawsender, '&', 4, 2s, 64, 10s, "Unable to Connect"},
    {"sendonly", &Link::sendonly, '&', 4, 2s, 0, 0s, "Cannot Connect"},
    {"smallcomax", &Link::smallcomax, '&', 4, 2s, 9, 6s, "Cannot Connect"},
    {"docomax", &Link::docomax, '&', 3, 1s, 64, 6s, "Cannot Connect"},
};

const Routine& routine(const S& name) {
    return *std::find_if(routines.begin(), routines.end(),
                         [&](const Routine& r) { return r.name == name; });
}

const S request = packet::readInstruction(10);
const S pageLine = "00001" + S(528, 'F');
const S record = "AB000A00030001100000000C";
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
    // One attempt for each of `answers`, answered with it `delay` after the attention character
    // (" ": not at all).
    void expectAttempts(char attention, const S& answers, Millis delay = 1ms) {
        for (char answer : answers) {
            auto& step = port.expect(S(1, attention));
            if (answer != ' ') {
                step.answer(S(1, answer), delay);
            }
        }
    }
};

// A routine that ran to its end: stale input before it, the answers to the attempts before
// the ready one (" ": none), the reply in two pieces 5 and 9 ms after the request.
struct Delivery {
    S routine, stale, earlier;
    int readyAfter;
    S sent, reply, packet, packdata, packetstatus;
    S fields; // datablock, then cmdparm1, cmdparm2 and replyparm3
    int endsAt;
};

} // namespace

Q_DECLARE_METATYPE(Routine)
Q_DECLARE_METATYPE(Link::Routine)
Q_DECLARE_METATYPE(Delivery)

class TestTransferRoutines : public QObject {
    Q_OBJECT

private slots:
    // Every attempt unanswered and waited out, or answered wrongly, which ends it at once.
    void everyAttemptFails_data() {
        QTest::addColumn<Routine>("r");
        QTest::addColumn<bool>("silent");
        for (const Routine& r : routines) {
            QTest::addRow("%s, silent", r.name) << r << true;
            QTest::addRow("%s, wrong answer", r.name) << r << false;
        }
    }
    void everyAttemptFails() {
        QFETCH(Routine, r);
        QFETCH(bool, silent);
        Prepared s;
        const Millis attemptTime = silent ? r.attemptTime : 5ms;
        s.expectAttempts(r.attention, S(size_t(r.attempts), silent ? ' ' : 'x'), 5ms);
        s.run(r);
        PKIVO_VERIFY_SCRIPT(s.port);
        for (int i = 0; i < r.attempts; ++i) {
            QCOMPARE(s.port.writes()[size_t(i)].at, attemptTime * i);
        }
        QCOMPARE(s.now(), attemptTime * r.attempts);
        QCOMPARE(s.g().linkstatus, S(r.refused));
        QCOMPARE(s.g().tempstr1, S(silent ? "" : "x"));
        QCOMPARE(s.g().errcode, S("Z"));
        const bool packwriter = r.run == &Link::packwriter; // leaves errtext alone
        QCOMPARE(s.g().errtext, S(packwriter ? "previous text" : "Unable to connect"));
        // Nothing was added to the request; docomax leaves the one it built last.
        QCOMPARE(s.g().packet, r.run == &Link::docomax ? docomaxLater : request);
        QCOMPARE(s.g().timedout, r.run == &Link::binsender && silent); // an attempt ran out
    }

    void replyTimeLimits_data() {
        QTest::addColumn<Routine>("r");
        for (const Routine& r : routines) {
            if (r.replyLength > 0) {
                QTest::newRow(r.name) << r;
            }
        }
    }
    void replyTimeLimits() {
        QFETCH(Routine, r);
        Prepared s;
        s.port.expect(S(1, r.attention)).answer(r.ready(), 10ms);
        // One character short of the minimum.
        s.port.expectAny().answer(S(size_t(r.replyLength - 1), 'O'), 20ms);
        s.run(r);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.now(), 10ms + r.replyTime);
        QCOMPARE(s.g().errcode + " " + s.g().errtext, S("Z Unable to connect"));
        QCOMPARE(s.g().replyparm3, S("000"));
        if (r.run == &Link::docomax) {
            // docomax keeps what came for the window to show, but no code is read out of it.
            QCOMPARE(s.g().packet, S(63, 'O'));
            return;
        }
        // The partial reply stays waiting until the next discard.
        QCOMPARE(s.port.inBufferCount(), r.replyLength - 1);
        QCOMPARE(s.g().packet, r.run == &Link::smallcomax ? "-" + request : S());
        QCOMPARE(s.g().packdata, pageLine);
    }

    void eachRoutineDeliversItsReply_data() {
        using D = Delivery;
        QTest::addColumn<D>("d");
        const S valid(packet::validPacket);
        auto fields = [](const S& r) { return cut(r, packet::dataBlock) + " " + S(9, '-'); };
        const S r15 = longReply("R15", "00000A0123456789ABCDEF0123456789ABCDEF", '0');
        const S r1w = longReply("R1W", "REPLYDATA", '0');
        // Fields are cut out of a reply that is not a valid packet as well.
        const S odd = S(6, '.') + "DAT" + S(41, '.') + "ABC.DEFGHI" + S(4, '.');
        const S oddFields = "DAT" + S(38, '.') + " ABCDEFGHI";
        const S invalid(packet::invalidPacket);
        const S kept = block + " 000000";
        const S out = "$" + request;
        const S shortOut = "-" + request;
        const S pageOut = "$" + pageLine;
        const S wrapped = "+" + pageLine + "~";
        const S orReply = "OR1234A5Hxy"; // taken whole, with what came after it
        const S page = S(530, 'A');
        const S pageOk = longReply("K");
        QTest::newRow("rawsender, third attempt")
            << D{"rawsender", "", "  ", 3, out, r15, r15, pageLine, valid, fields(r15), 4012};
        QTest::newRow("rawsender, malformed reply")
            << D{"rawsender", "", "", 0, out, odd, odd, pageLine, invalid, oddFields, 9};
        QTest::newRow("docomax, data block with the first attempt")
            << D{"docomax", "", "", 0, docomaxFirst, r1w, r1w, pageLine, valid, fields(r1w), 9};
        QTest::newRow("docomax, second attempt 1 s later without it")
            << D{"docomax", "", " ", 0, docomaxLater, r1w, r1w, pageLine, valid, fields(r1w), 1009};
        QTest::newRow("smallcomax")
            << D{"smallcomax", "junk", "", 0, shortOut, orReply, orReply, pageLine, valid, kept, 9};
        // Within the single attempt of 6 s.
        QTest::newRow("binreceiver")
            << D{"binreceiver", "", "", 5000, out, page, "", page, "", kept, 5009};
        QTest::newRow("binsender")
            << D{"binsender", "", "", 1, pageOut, pageOk, pageOk, pageLine, "", kept, 10};
        QTest::newRow("packwriter")
            << D{"packwriter", "", "", 0, wrapped, "", request, wrapped, "", kept, 0};
        QTest::newRow("sendonly, stale input gone")
            << D{"sendonly", "AB", "", 0, out, "", out, pageLine, "", kept, 0};
    }
    void eachRoutineDeliversItsReply() {
        QFETCH(Delivery, d);
        const Routine& r = routine(d.routine);
        Prepared s;
        const LinkGlobals& g = s.g();
        s.port.arriveAt(0ms, d.stale);
        s.time.runUntil(0ms);
        s.expectAttempts(r.attention, d.earlier);
        s.port.expect(S(1, r.attention)).answer(r.ready(), Millis(d.readyAfter));
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
        QCOMPARE(g.errcode, S("0"));
        const bool packwriter = r.run == &Link::packwriter; // leaves errtext alone
        QCOMPARE(g.errtext, S(packwriter ? "previous text" : "No errors"));
        QCOMPARE(g.linkstatus, S("Connected"));
        QCOMPARE(g.tempstr1, r.ready()); // without the stale characters
        QVERIFY(!g.timedout);
    }

    // The reply carries a parameter 3 of "123": kept only when all went well.
    void docomaxResultCodes_data() {
        QTest::addColumn<S>("result"); // errcode and errtext
        QTest::addColumn<S>("replyparm3");
        QTest::newRow("0") << S("0 No errors") << S("123");
        QTest::newRow("1") << S("1 System received invalid packet") << S("000");
        QTest::newRow("2") << S("2 No responce from device/module on buss") << S("000");
        QTest::newRow("X") << S("X Invalid Instruction sent") << S("000");
        QTest::newRow("other") << S("Q Undefined error") << S("000");
    }
    void docomaxResultCodes() {
        QFETCH(S, result);
        QFETCH(S, replyparm3);
        S reply = longReply("R1W", "", result[0]);
        reply.replace(57, 3, "123");
        Prepared s;
        s.port.expect("&").answer(":");
        s.port.expect(docomaxFirst).answer(reply);
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode + " " + s.g().errtext, result);
        QCOMPARE(s.g().replyparm3, replyparm3);
    }

    // A page that gets no reply fails after flashwait's 30 s; one whose handshake lapsed once is
    // not sent at all and fails at once.
    void flashwaitTimeLimits_data() {
        QTest::addColumn<S>("answers"); // to each "#", 1 ms after it (" ": none)
        QTest::addColumn<bool>("pageSent");
        QTest::addColumn<S>("errcode");
        QTest::addColumn<int>("endsAt");
        QTest::newRow("no ready answer") << S("????") << false << S("Z") << 30004;
        QTest::newRow("no reply to the page") << S("!") << true << S("Z") << 38001;
        QTest::newRow("handshake lapsed once") << S(" !") << false << S("0") << 2001;
    }
    void flashwaitTimeLimits() {
        QFETCH(S, answers);
        QFETCH(bool, pageSent);
        QFETCH(S, errcode);
        QFETCH(int, endsAt);
        Prepared s;
        s.g().packet.clear(); // as the download does before each page
        s.expectAttempts('#', answers);
        if (pageSent) {
            s.port.expect("$" + pageLine);
        }
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, S());
        QCOMPARE(s.g().errcode, errcode);
        QVERIFY(s.g().timedout);
        QCOMPARE(s.now(), Millis(endsAt));
    }

    // A running program streams status records; the answer to "&" arrives behind or between
    // their characters, which are passed over. Any other character still refuses at once.
    void attentionAnswerAmongStatusRecords_data() {
        QTest::addColumn<S>("answer"); // to every "&", 5 ms after it
        QTest::addColumn<bool>("sent");
        QTest::addColumn<int>("endsAt");
        QTest::newRow("quiet line") << S(":") << true << 5;
        QTest::newRow("behind a record") << record + ":" << true << 5;
        QTest::newRow("behind a record's tail") << S("0001100000000C:") << true << 5;
        QTest::newRow("between a record's characters") << S("AB000A:00030001") << true << 5;
        QTest::newRow("wrong answer behind a record") << record + "?" << false << 20;
        QTest::newRow("records only") << record << false << 8000;
    }
    void attentionAnswerAmongStatusRecords() {
        QFETCH(S, answer);
        QFETCH(bool, sent);
        QFETCH(int, endsAt);
        Prepared s;
        s.g().packet = packet::stopProgram();
        for (int attempt = 0; attempt < (sent ? 1 : 4); ++attempt) {
            s.port.expect("&").answer(answer, 5ms);
        }
        if (sent) {
            s.port.expect("$" + packet::stopProgram());
        }
        QVERIFY(s.link.sendonly());
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.now(), Millis(endsAt));
        QCOMPARE(s.g().tempstr1, answer);
        QCOMPARE(s.g().errcode, S(sent ? "0" : "Z"));
    }

    // A port closed before the routine, or a line that goes away in its attention or its
    // reply wait: the routine reports "7" at once, and so does the next one.
    void lostLineEndsEveryRoutineAtOnce_data() {
        QTest::addColumn<Routine>("r");
        QTest::addColumn<int>("lostIn"); // 0: closed before, 1: attention wait, 2: reply wait
        QTest::addColumn<bool>("flashwait");
        for (const Routine& r : routines) {
            QTest::addRow("%s, closed port", r.name) << r << 0 << false;
            QTest::addRow("%s, attention wait", r.name) << r << 1 << false;
            if (r.replyLength > 0) {
                QTest::addRow("%s, reply wait", r.name) << r << 2 << false;
            }
        }
        QTest::newRow("flashwait, attention wait") << routine("binsender") << 1 << true;
    }
    void lostLineEndsEveryRoutineAtOnce() {
        QFETCH(Routine, r);
        QFETCH(int, lostIn);
        QFETCH(bool, flashwait);
        Prepared s;
        if (lostIn == 0) {
            s.port.close();
        } else if (lostIn == 1) {
            s.port.expect(S(1, r.attention)).loseLine(300ms);
        } else {
            s.port.expect(S(1, r.attention)).answer(r.ready());
            s.port.expectAny().answer("OV0", 10ms).loseLine(300ms);
        }
        flashwait ? void(s.link.flashwait()) : s.run(r);
        const Millis end = lostIn == 0 ? 0ms : 300ms;
        QCOMPARE(s.now(), end);
        QCOMPARE(s.g().errcode + " " + s.g().errtext, S("7 Serial port not open"));
        QCOMPARE(s.g().replyparm3, S("000"));
        QVERIFY(!s.port.isOpen());
        QCOMPARE(s.port.writes().empty(), lostIn == 0);
        QCOMPARE(s.g().timedout, flashwait);
        s.link.rawsender();
        QCOMPARE(s.now(), end);
        QCOMPARE(s.g().errcode, S("7"));
    }

    // A click handled while an exchange waits: the second routine sends nothing, changes no
    // global (a refused flashwait only sets timedout: its page was not written, the download
    // stops) and returns false at once; the first exchange ends as if nothing had happened.
    // Through request() the window's own fill never runs.
    void secondExchangeIsRefusedWhileOneIsOnTheWire_data() {
        QTest::addColumn<Link::Routine>("second");
        for (const Routine& r : routines) {
            QTest::newRow(r.name) << r.run;
        }
        QTest::newRow("flashwait") << Link::Routine(&Link::flashwait);
    }
    void secondExchangeIsRefusedWhileOneIsOnTheWire() {
        QFETCH(Link::Routine, second);
        const bool flashwait = second == &Link::flashwait;
        Prepared s;
        s.port.expect("&").answer(":", 1ms);
        const S reply = longReply("R15", "00000A");
        s.port.expect("$" + request).answer(reply, 3s);
        bool directRan = true, requestRan = true, filled = false, unchanged = false;
        Millis innerStart{0}, innerEnd{0};
        s.time.at(1s, [&] {
            LinkGlobals expected = s.g();
            expected.timedout = flashwait;
            innerStart = s.now();
            directRan = (s.link.*second)();
            requestRan = s.link.request([&](LinkGlobals&) { filled = true; }, second);
            innerEnd = s.now();
            unchanged = s.g() == expected;
        });
        s.link.rawsender();
        PKIVO_VERIFY_SCRIPT(s.port);
        QVERIFY(!directRan);
        QVERIFY(!requestRan);
        QVERIFY(!filled);
        QVERIFY(unchanged);
        QCOMPARE(innerEnd, innerStart);
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode + " " + s.g().errtext, S("0 No errors"));
        QCOMPARE(s.now(), 3001ms);
    }

    // Pause clicked while a page waits for its reply, by a window that writes `packet` before
    // calling (as the run buttons once did) or through request(): the page still fails when
    // no reply comes, after its 8 s and flashwait's 30 s.
    void clickDuringAPageWaitCannotPassForItsReply_data() {
        QTest::addColumn<bool>("throughRequest");
        QTest::newRow("packet written first") << false;
        QTest::newRow("through request") << true;
    }
    void clickDuringAPageWaitCannotPassForItsReply() {
        QFETCH(bool, throughRequest);
        Prepared s;
        s.g().packet.clear();
        s.port.expect("#").answer("!");
        s.port.expect("$" + pageLine);
        s.time.at(2s, [&] {
            if (throughRequest) {
                s.link.request([](LinkGlobals& g) { g.packet = packet::pauseProgram(); },
                               &Link::sendonly);
            } else {
                s.g().packet = packet::pauseProgram();
                s.link.sendonly();
            }
        });
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QVERIFY(s.g().timedout);
        QCOMPARE(s.g().errcode, S("Z"));
        QCOMPARE(s.now(), 38s);
    }

    // The refused window wrote its own request into `packet` while docomax waited for ":".
    void refusedWindowCannotChangeWhatDocomaxSends() {
        Prepared s;
        s.port.expect("&").answer(":", 700ms);
        s.port.expect(docomaxFirst).answer(longReply("R1W"), 10ms);
        s.time.at(500ms, [&] {
            s.g().packet = "OR0010DDH";
            s.link.smallcomax();
        });
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().errcode, S("0"));
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
        s.port.expect("&").answer(":", 10ms);
        s.port.expect("$" + request).answer(reply, 30ms);
        s.port.arriveAt(2s, record);
        S monitored = "unset";
        const std::function<void()> exchange = [&] { s.link.rawsender(); };
        const std::function<void()> monitor = [&] {
            s.link.waitstatus();
            monitored = s.g().tempstr1;
        };
        s.time.at(monitorWaits ? 1s : 20ms, monitorWaits ? exchange : monitor);
        monitorWaits ? monitor() : exchange();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().errcode + " " + s.g().packet, "0 " + reply);
        QCOMPARE(monitored, monitorWaits ? record : S());
        QCOMPARE(s.now(), monitorWaits ? 2000ms : 40ms);
    }

    void waitstatusEnds_data() {
        QTest::addColumn<S>("arrives"); // at 500 ms
        QTest::addColumn<S>("later");   // at 700 ms
        QTest::addColumn<S>("at800");   // monitoring switched "off", or the line "lost"
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<S>("tempstr1");
        QTest::newRow("record") << record << S() << S() << 500 << record;
        QTest::newRow("longer read") << record + "xxxxxx" << S() << S() << 500 << record + "xxxxxx";
        QTest::newRow("silence") << S("AB00") << S() << S() << 6000 << S("AB00");
        QTest::newRow("monitoring off") << S("AB00") << S() << S("off") << 800 << S("AB00");
        QTest::newRow("line lost") << S("AB00") << S() << S("lost") << 800 << S();
        // Listening began in the middle of a record: its tail is dropped and the next record
        // awaited whole, so the monitor keeps step with the stream.
        QTest::newRow("after a record's tail") << S("0001100000000C") + record.substr(0, 10)
                                               << record.substr(10) << S() << 700 << record;
        QTest::newRow("tail and silence")
            << S("0001100000000C") << S() << S() << 6000 << S("0001100000000C");
    }
    void waitstatusEnds() {
        QFETCH(S, arrives);
        QFETCH(S, later);
        QFETCH(S, at800);
        QFETCH(int, endsAt);
        QFETCH(S, tempstr1);
        Prepared s;
        s.link.setMonitoring(true);
        s.port.arriveAt(500ms, arrives);
        s.port.arriveAt(700ms, later);
        if (at800 == "off") {
            s.time.at(800ms, [&] { s.link.setMonitoring(false); });
        } else if (at800 == "lost") {
            s.port.loseLineAt(800ms);
        }
        s.link.waitstatus();
        QCOMPARE(s.now(), Millis(endsAt));
        QCOMPARE(s.g().tempstr1, tempstr1);
        QCOMPARE(s.g().errcode == "7", at800 == "lost");
        QVERIFY(s.port.writes().empty());
    }
};

QTEST_GUILESS_MAIN(TestTransferRoutines)
#include "test_transferroutines.moc"
