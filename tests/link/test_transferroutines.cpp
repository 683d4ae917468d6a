// The transfer routines against a scripted controller on virtual time: attempts and time
// limits, result codes, what each routine leaves in the globals, a lost line, the busy rule.
#include "scriptedlink.h"

#include "link/packets.h"

#include <QTest>

using namespace pkivo;
using S = std::string;
using namespace pkivo::test;

namespace {

using Routine = Link::Routine;

struct RoutineInfo {
    const char* name;
    Routine routine;
    char attention;
    int attempts;
    Millis attemptTime;
    int replyLength; // 0: no reply awaited
    Millis replyTime;
    std::string leadIn; // before the request on the wire
};

const std::vector<RoutineInfo>& routines() {
    static const std::vector<RoutineInfo> table{
        {"binreceiver", &Link::binreceiver, '&', 1, 6s, 528, 6s, "$"},
        {"packreceiver", &Link::packreceiver, '&', 1, 6s, 64, 6s, "$"},
        {"binsender", &Link::binsender, '#', 4, 2s, 64, 8s, "$"},
        {"packwriter", &Link::packwriter, '#', 4, 2s, 0, 0s, "+"},
        {"rawsender", &Link::rawsender, '&', 4, 2s, 64, 10s, "$"},
        {"sendonly", &Link::sendonly, '&', 4, 2s, 0, 0s, "$"},
        {"smallcomax", &Link::smallcomax, '&', 4, 2s, 9, 6s, "-"},
        {"docomax", &Link::docomax, '&', 3, 1s, 64, 6s, "$"},
    };
    return table;
}

const std::string request = packet::readInstruction(10);
const std::string shortRequest = packet::readRam(0x1234);

// Fills the globals each routine takes its request from.
void prepare(LinkGlobals& g) {
    g.packet = request;
    g.packdata = "00001" + std::string(528, 'F');
    g.cmdcode = "R1R";
    g.cmddata = "00000";
    g.cmdparm1 = g.cmdparm2 = g.cmdparm3 = "000";
    g.datablock.clear();
    g.errcode = "0";
    g.errtext = "No errors";
    g.timedout = false;
}

void addRoutineRows() {
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < routines().size(); ++i) {
        QTest::newRow(routines()[i].name) << int(i);
    }
}

} // namespace

class TestTransferRoutines : public QObject {
    Q_OBJECT

private slots:
    void silentControllerGetsEveryAttempt_data() { addRoutineRows(); }
    void silentControllerGetsEveryAttempt() {
        QFETCH(int, index);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        prepare(s.g());
        for (int i = 0; i < r.attempts; ++i) {
            s.port.expect(std::string(1, r.attention));
        }
        (s.link.*r.routine)();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(int(s.port.writes().size()), r.attempts);
        for (int i = 0; i < r.attempts; ++i) {
            QCOMPARE(s.port.writes()[size_t(i)].at, r.attemptTime * i);
        }
        QCOMPARE(s.now(), r.attemptTime * r.attempts);
        const bool isDocomax = r.routine == &Link::docomax;
        QCOMPARE(s.g().errcode, std::string("Z"));
        if (r.routine == &Link::packwriter) {
            QCOMPARE(s.g().errtext, std::string("No errors")); // left alone
        } else {
            QCOMPARE(s.g().errtext, std::string("Unable to connect"));
        }
        if (isDocomax) {
            QVERIFY(s.g().packet.starts_with("$OV0R1R00000"));
        } else {
            QCOMPARE(s.g().packet, request); // nothing was added to it
        }
        if (r.routine == &Link::binsender) {
            QVERIFY(s.g().timedout);
        }
    }

    void reportsTheAttentionResult_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<std::string>("afterFailure");
        std::vector<std::string> failure{
            "Unable to Connect", "Unable to Connect", "Unable to Connect", "Unable to Connect",
            "Unable to Connect", "Cannot Connect",    "Cannot Connect",    "Cannot Connect"};
        for (size_t i = 0; i < routines().size(); ++i) {
            QTest::newRow(routines()[i].name) << int(i) << failure[i];
        }
    }
    void reportsTheAttentionResult() {
        QFETCH(int, index);
        QFETCH(std::string, afterFailure);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        prepare(s.g());
        // A wrong answer fails an attempt at once, without waiting out its time.
        for (int i = 0; i < r.attempts; ++i) {
            s.port.expect(std::string(1, r.attention)).answer("x", 5ms);
        }
        (s.link.*r.routine)();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.now(), 5ms * r.attempts);
        QCOMPARE(s.g().linkstatus, afterFailure);
        QCOMPARE(s.g().tempstr1, std::string("x"));
        if (r.routine == &Link::binsender) {
            QVERIFY(!s.g().timedout); // no attempt ran out of time
        }
    }

    void replyTimeLimits_data() {
        QTest::addColumn<int>("index");
        for (size_t i = 0; i < routines().size(); ++i) {
            if (routines()[i].replyLength > 0) {
                QTest::newRow(routines()[i].name) << int(i);
            }
        }
    }
    void replyTimeLimits() {
        QFETCH(int, index);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        prepare(s.g());
        const std::string ready = r.attention == '#' ? "!" : ":";
        s.port.expect(std::string(1, r.attention)).answer(ready, 10ms);
        // One character short of the minimum.
        s.port.expectAny().answer(std::string(size_t(r.replyLength - 1), 'O'), 20ms);
        const std::string packdataBefore = s.g().packdata;
        (s.link.*r.routine)();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.now(), 10ms + r.replyTime);
        QCOMPARE(s.g().errcode, std::string("Z"));
        QCOMPARE(s.g().errtext, std::string("Unable to connect"));
        QCOMPARE(s.g().replyparm3, std::string("000"));
        if (r.routine == &Link::docomax) {
            // docomax keeps what came for the window to show, but no code is read out of it.
            QCOMPARE(s.g().packet, std::string(63, 'O'));
            return;
        }
        // The partial reply stays waiting until the next discard.
        QCOMPARE(s.port.inBufferCount(), r.replyLength - 1);
        if (r.routine == &Link::smallcomax) {
            QCOMPARE(s.g().packet, "-" + request);
            QCOMPARE(s.g().packet.size(), size_t(65));
        } else {
            QCOMPARE(s.g().packet, std::string());
        }
        QCOMPARE(s.g().packdata, packdataBefore);
    }

    void rawsenderAnsweredOnTheThirdTry() {
        ScriptedLink s;
        s.g().packet = request;
        s.port.expect("&");
        s.port.expect("&");
        s.port.expect("&").answer(":", 3ms);
        const std::string reply = longReply("R15", "00000A0123456789ABCDEF0123456789ABCDEF", '0');
        s.port.expect("$" + request).answer(reply.substr(0, 30), 5ms).answer(reply.substr(30), 9ms);
        s.link.rawsender();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.port.writes()[2].at, 4000ms);
        QCOMPARE(s.port.writes()[3].at, 4003ms);
        QCOMPARE(s.now(), 4012ms);
        QCOMPARE(s.g().linkstatus, std::string("Connected"));
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode, std::string("0"));
        QCOMPARE(s.g().errtext, std::string("No errors"));
        QCOMPARE(s.g().packetstatus, std::string("A Valid packet has been received"));
        QCOMPARE(s.g().datablock, cut(reply, packet::dataBlock));
        QCOMPARE(s.g().datablock.size(), size_t(41));
    }

    void rawsenderCutsFieldsOutOfAMalformedReply() {
        ScriptedLink s;
        s.g().packet = request;
        std::string reply(64, '.');
        reply.replace(50, 3, "ABC");
        reply.replace(54, 3, "DEF");
        reply.replace(57, 3, "GHI");
        s.port.expect("&").answer(":");
        s.port.expect("$" + request).answer(reply);
        s.link.rawsender();
        QCOMPARE(s.g().packetstatus, std::string("Invalid responce from system"));
        QCOMPARE(s.g().cmdparm1, std::string("ABC"));
        QCOMPARE(s.g().cmdparm2, std::string("DEF"));
        QCOMPARE(s.g().replyparm3, std::string("GHI"));
        QCOMPARE(s.g().errcode, std::string("0"));
    }

    void staleInputIsDiscardedBeforeEachAttempt() {
        ScriptedLink s;
        s.g().packet = request;
        s.port.arriveAt(0ms, "AB0001");
        s.port.expect("&").answer("?", 1ms);
        s.port.expect("&").answer(":", 1ms);
        s.port.expect("$" + request).answer(longReply());
        s.time.runUntil(0ms);
        s.link.rawsender();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().tempstr1, std::string(":")); // the attention reply
        QCOMPARE(s.g().packet, longReply());        // without the stale characters
    }

    void smallcomaxTakesTheWholeShortReply() {
        ScriptedLink s;
        s.g().packet = shortRequest;
        s.port.arriveAt(0ms, "junk");
        s.time.runUntil(0ms);
        s.port.expect("&").answer(":");
        s.port.expect("-" + shortRequest).answer("OR1234A5Hxy", 4ms);
        s.link.smallcomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().tempstr2, std::string()); // the second discard finds nothing left
        QCOMPARE(s.g().packet, std::string("OR1234A5Hxy"));
        QCOMPARE(s.g().packetstatus, std::string("A Valid packet has been received"));
        QCOMPARE(s.g().errcode, std::string("0"));
        QCOMPARE(s.g().linkstatus, std::string("Connected"));
    }

    void docomaxResultCodes_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<std::string>("errcode");
        QTest::addColumn<std::string>("errtext");
        QTest::addColumn<std::string>("replyparm3");
        std::string withParm3 = longReply("R1R", "", '0');
        withParm3.replace(57, 3, "123");
        QTest::newRow("0") << withParm3 << S("0") << S("No errors") << S("123");
        QTest::newRow("1") << longReply("R1R", "", '1') << S("1")
                           << S("System received invalid packet") << S("000");
        QTest::newRow("2") << longReply("R1R", "", '2') << S("2")
                           << S("No responce from device/module on buss") << S("000");
        QTest::newRow("X") << longReply("R1R", "", 'X') << S("X") << S("Invalid Instruction sent")
                           << S("000");
        QTest::newRow("other") << longReply("R1R", "", 'Q') << S("Q") << S("Undefined error")
                               << S("000");
        // Fewer than 64 characters by the deadline: no answer in time.
        QTest::newRow("short") << std::string(61, 'O') << S("Z") << S("Unable to connect")
                               << S("000");
    }
    void docomaxResultCodes() {
        QFETCH(std::string, reply);
        QFETCH(std::string, errcode);
        QFETCH(std::string, errtext);
        QFETCH(std::string, replyparm3);
        ScriptedLink s;
        prepare(s.g());
        s.g().errtext = "previous text";
        s.port.expect("&").answer(":");
        s.port.expect("$" + packet::docomaxRequest(packet::readParameters())).answer(reply);
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode, errcode);
        QCOMPARE(s.g().errtext, errtext);
        QCOMPARE(s.g().replyparm3, replyparm3);
    }

    void docomaxSendsTheDataBlockWithTheFirstAttemptOnly() {
        ScriptedLink s;
        prepare(s.g());
        s.g().cmdcode = "R1W";
        const std::string block = "0123456789ABCDEF0123456789ABCDEF012345678"; // 41
        s.g().datablock = block;
        packet::DocomaxFields fields{"R1W", "00000", "000", "000", "000", block};
        const std::string first = "$" + packet::docomaxRequest(fields);
        fields.datablock.clear();
        const std::string second = "$" + packet::docomaxRequest(fields);
        QCOMPARE(cut(first.substr(1), packet::dataBlock), block);
        s.port.expect("&");
        s.port.expect("&").answer(":", 2ms);
        const std::string reply = longReply("R1W", "REPLYDATA", '0');
        s.port.expect(second).answer(reply);
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.port.writes()[1].at, 1000ms);
        QCOMPARE(s.g().datablock, cut(reply, packet::dataBlock));

        ScriptedLink t;
        prepare(t.g());
        t.g().cmdcode = "R1W";
        t.g().datablock = block;
        t.port.expect("&").answer(":");
        t.port.expect(first).answer(reply);
        t.link.docomax();
        PKIVO_VERIFY_SCRIPT(t.port);
        QCOMPARE(t.g().datablock, cut(reply, packet::dataBlock));
    }

    void binsenderWritesAPage() {
        ScriptedLink s;
        prepare(s.g());
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + s.g().packdata).answer(longReply("K", ""), 40ms);
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, longReply("K", ""));
        QCOMPARE(s.g().errcode, std::string("0"));
        QVERIFY(!s.g().timedout);
        QCOMPARE(s.now(), 41ms);
    }

    void binsenderWhoseHandshakeLapsedSendsNothing() {
        ScriptedLink s;
        prepare(s.g());
        s.port.expect("#");
        s.port.expect("#").answer("!", 7ms);
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.port.writes().size(), size_t(2));
        QCOMPARE(s.g().errcode, std::string("0"));
        QVERIFY(s.g().timedout);
        QCOMPARE(s.now(), 2007ms); // flashwait returned at once
    }

    void flashwaitWaitsThirtySecondsForAMissingReply_data() {
        QTest::addColumn<bool>("pageSent");
        QTest::newRow("no ready answer") << false;
        QTest::newRow("no reply to the page") << true;
    }
    void flashwaitWaitsThirtySecondsForAMissingReply() {
        QFETCH(bool, pageSent);
        ScriptedLink s;
        prepare(s.g());
        s.g().packet.clear(); // as the download does before each page
        Millis binsenderTime{0};
        if (pageSent) {
            s.port.expect("#").answer("!");
            s.port.expect("$" + s.g().packdata);
            binsenderTime = 8s;
        } else {
            for (int i = 0; i < 4; ++i) {
                s.port.expect("#").answer("?", 1ms);
            }
            binsenderTime = 4ms;
        }
        s.link.flashwait();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, std::string());
        QCOMPARE(s.g().errcode, std::string("Z"));
        QVERIFY(s.g().timedout);
        QCOMPARE(s.now(), binsenderTime + 30s);
    }

    void packwriterWrapsThePackedData() {
        ScriptedLink s;
        const std::string data = packet::packedWriteData(5, std::string(64, 'F'));
        QCOMPARE(data, "OV0R1D000005" + std::string(64, 'F'));
        s.g().packdata = data;
        s.g().errcode = "Z";
        s.port.expect("#").answer("!");
        s.port.expect("+" + data + "~");
        s.link.packwriter();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packdata, "+" + data + "~");
        QCOMPARE(s.g().errcode, std::string("0"));
        QCOMPARE(s.g().linkstatus, std::string("Connected"));
    }

    void sendonlyStartsFromNoErrorsAndKeepsTheLeadIn() {
        ScriptedLink s;
        s.g().packet = packet::runProgram(0);
        s.g().errcode = "X";
        s.g().errtext = "stale";
        s.port.arriveAt(0ms, "AB");
        s.time.runUntil(0ms);
        s.port.expect("&").answer(":");
        s.port.expect("$" + packet::runProgram(0));
        s.link.sendonly();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packet, "$" + packet::runProgram(0));
        QCOMPARE(s.g().errcode, std::string("0"));
        QCOMPARE(s.g().errtext, std::string("No errors"));
        QCOMPARE(s.g().linkstatus, std::string("Connected"));
        QCOMPARE(s.now(), 0ms);
    }

    // A running program streams status records; the answer to "&" arrives behind or between
    // their characters, which are passed over. Any other character still refuses at once.
    void attentionAnswerAmongStatusRecords_data() {
        QTest::addColumn<std::string>("answer"); // to every "&", 5 ms after it
        QTest::addColumn<bool>("sent");
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<std::string>("tempstr1");
        const S record = "AB000A00030001100000000C";
        QTest::newRow("quiet line") << S(":") << true << 5 << S(":");
        QTest::newRow("behind a record") << record + ":" << true << 5 << record + ":";
        QTest::newRow("behind a record's tail")
            << S("0001100000000C:") << true << 5 << S("0001100000000C:");
        QTest::newRow("between a record's characters")
            << S("AB000A:00030001") << true << 5 << S("AB000A:00030001");
        QTest::newRow("wrong answer behind a record") << record + "?" << false << 20 << record + "?";
        QTest::newRow("records only") << record << false << 8000 << record;
    }
    void attentionAnswerAmongStatusRecords() {
        QFETCH(std::string, answer);
        QFETCH(bool, sent);
        QFETCH(int, endsAt);
        QFETCH(std::string, tempstr1);
        ScriptedLink s;
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
        QCOMPARE(s.g().tempstr1, tempstr1);
        QCOMPARE(s.g().errcode, std::string(sent ? "0" : "Z"));
    }

    void receiversHandOverTheReplyInPackdata_data() {
        QTest::addColumn<bool>("page");
        QTest::newRow("binreceiver") << true;
        QTest::newRow("packreceiver") << false;
    }
    void receiversHandOverTheReplyInPackdata() {
        QFETCH(bool, page);
        ScriptedLink s;
        const std::string req = page ? packet::readFlashPage("7") : packet::readPacked(5);
        s.g().packet = req;
        const std::string reply(page ? 530 : 70, 'A');
        s.port.expect("&").answer(":", 5s); // within the single 6 s attempt
        s.port.expect("$" + req).answer(reply.substr(0, 30), 1s).answer(reply.substr(30), 2s);
        page ? s.link.binreceiver() : s.link.packreceiver();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().packdata, reply);
        QCOMPARE(s.g().packet, std::string());
        QCOMPARE(s.g().errcode, std::string("0"));
    }

    // A closed port or a line that goes away: every routine reports "7" and returns at once.
    void closedPortReportsNotOpen_data() { addRoutineRows(); }
    void closedPortReportsNotOpen() {
        QFETCH(int, index);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        prepare(s.g());
        s.port.close();
        (s.link.*r.routine)();
        QVERIFY(s.port.writes().empty());
        QCOMPARE(s.g().errcode, std::string("7"));
        QCOMPARE(s.g().errtext, std::string("Serial port not open"));
        QCOMPARE(s.g().replyparm3, std::string("000"));
        QCOMPARE(s.now(), 0ms);
    }

    void lineLostMidWaitReportsNotOpen_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("duringReply");
        for (size_t i = 0; i < routines().size(); ++i) {
            std::string name = routines()[i].name;
            QTest::newRow((name + " attention").c_str()) << int(i) << false;
            if (routines()[i].replyLength > 0) {
                QTest::newRow((name + " reply").c_str()) << int(i) << true;
            }
        }
    }
    void lineLostMidWaitReportsNotOpen() {
        QFETCH(int, index);
        QFETCH(bool, duringReply);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        prepare(s.g());
        if (duringReply) {
            s.port.expect(std::string(1, r.attention)).answer(r.attention == '#' ? "!" : ":");
            s.port.expectAny().answer("OV0", 10ms).loseLine(300ms);
        } else {
            s.port.expect(std::string(1, r.attention)).loseLine(300ms);
        }
        (s.link.*r.routine)();
        QCOMPARE(s.now(), 300ms);
        QCOMPARE(s.g().errcode, std::string("7"));
        QCOMPARE(s.g().errtext, std::string("Serial port not open"));
        QVERIFY(!s.port.isOpen());
        // The next routine does not wait either.
        s.link.rawsender();
        QCOMPARE(s.now(), 300ms);
        QCOMPARE(s.g().errcode, std::string("7"));
    }

    void flashwaitEndsAtOnceWhenTheLineIsLost() {
        ScriptedLink s;
        prepare(s.g());
        s.port.expect("#").loseLine(50ms);
        s.link.flashwait();
        QCOMPARE(s.now(), 50ms);
        QVERIFY(s.g().timedout);
        QCOMPARE(s.g().errcode, std::string("7"));
    }

    // A click handled while an exchange waits: the second routine sends nothing, changes no
    // global and returns false at once; the first exchange ends as if nothing had happened.
    // Through request() the window's own fill never runs.
    void secondExchangeIsRefusedWhileOneIsOnTheWire_data() { addRoutineRows(); }
    void secondExchangeIsRefusedWhileOneIsOnTheWire() {
        QFETCH(int, index);
        const RoutineInfo& r = routines()[size_t(index)];
        ScriptedLink s;
        s.g().packet = request;
        s.g().errtext = "before";
        s.port.expect("&").answer(":", 1ms);
        const std::string reply = longReply("R15", "00000A");
        s.port.expect("$" + request).answer(reply, 3s);
        bool directRan = true, requestRan = true, filled = false, unchanged = false;
        Millis innerStart{0}, innerEnd{0};
        s.time.at(1s, [&] {
            const LinkGlobals before = s.g();
            innerStart = s.now();
            directRan = (s.link.*r.routine)();
            requestRan = s.link.request([&](LinkGlobals&) { filled = true; }, r.routine);
            innerEnd = s.now();
            unchanged = s.g() == before;
        });
        s.link.rawsender();
        PKIVO_VERIFY_SCRIPT(s.port);
        QVERIFY(!directRan);
        QVERIFY(!requestRan);
        QVERIFY(!filled);
        QVERIFY(unchanged);
        QCOMPARE(innerEnd, innerStart);
        QCOMPARE(s.port.writes().size(), size_t(2));
        QCOMPARE(s.g().packet, reply);
        QCOMPARE(s.g().errcode, std::string("0"));
        QCOMPARE(s.g().errtext, std::string("No errors"));
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
        ScriptedLink s;
        prepare(s.g());
        s.g().packet.clear();
        s.port.expect("#").answer("!");
        s.port.expect("$" + s.g().packdata);
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
        QCOMPARE(s.g().errcode, std::string("Z"));
        QCOMPARE(s.now(), 38s);
    }

    void refusedFlashwaitStopsItsDownload() {
        ScriptedLink s;
        prepare(s.g());
        s.port.expect("&").answer(":");
        s.port.expect("$" + request).answer(longReply(), 2s);
        bool innerTimedout = false;
        s.time.at(1s, [&] {
            s.g().timedout = false;
            s.link.flashwait();
            innerTimedout = s.g().timedout;
        });
        s.link.rawsender();
        QVERIFY(innerTimedout);
        QCOMPARE(s.g().errcode, std::string("0"));
    }

    // The refused window wrote its own request into `packet` while docomax waited for ":".
    void refusedWindowCannotChangeWhatDocomaxSends() {
        ScriptedLink s;
        putDocomaxFields(packet::readParameters(), s.g());
        const std::string own = "$" + packet::docomaxRequest(packet::readParameters());
        s.port.expect("&").answer(":", 700ms);
        s.port.expect(own).answer(longReply("R1R"), 10ms);
        s.time.at(500ms, [&] {
            s.g().packet = "OR0010DDH";
            s.link.smallcomax();
        });
        s.link.docomax();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(s.g().errcode, std::string("0"));
    }

    void exchangeWhileTheMonitorListens() {
        ScriptedLink s;
        s.link.setMonitoring(true);
        const std::string record = "AB000A00030001100000000C";
        const std::string reply = longReply("R15", "00000A");
        s.port.expect("&").answer(":", 10ms);
        s.port.expect("$" + request).answer(reply, 30ms);
        std::string innerPacket, innerCode;
        s.time.at(1s, [&] {
            s.g().packet = request;
            s.link.rawsender();
            innerPacket = s.g().packet;
            innerCode = s.g().errcode;
        });
        s.port.arriveAt(2s, record);
        s.link.waitstatus();
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(innerPacket, reply);
        QCOMPARE(innerCode, std::string("0"));
        // The monitor took no part of the reply and goes on with the next record.
        QCOMPARE(s.g().tempstr1, record);
        QCOMPARE(s.now(), 2000ms);
    }

    void waitstatusEnds_data() {
        QTest::addColumn<int>("monitoringOffAt");
        QTest::addColumn<std::string>("arrives"); // at 500 ms
        QTest::addColumn<std::string>("later");   // at 700 ms
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<std::string>("tempstr1");
        const S record = "AB000A00030001100000000C";
        QTest::newRow("record") << -1 << record << S() << 500 << record;
        QTest::newRow("longer read") << -1 << record + "xxxxxx" << S() << 500 << record + "xxxxxx";
        QTest::newRow("silence") << -1 << S("AB00") << S() << 6000 << S("AB00");
        QTest::newRow("monitoring off") << 800 << S("AB00") << S() << 800 << S("AB00");
        // Listening began in the middle of a record: its tail is dropped and the next record
        // awaited whole, so the monitor keeps step with the stream.
        QTest::newRow("after a record's tail")
            << -1 << S("0001100000000C") + record.substr(0, 10) << record.substr(10) << 700
            << record;
        QTest::newRow("tail and silence")
            << -1 << S("0001100000000C") << S() << 6000 << S("0001100000000C");
    }
    void waitstatusEnds() {
        QFETCH(int, monitoringOffAt);
        QFETCH(std::string, arrives);
        QFETCH(std::string, later);
        QFETCH(int, endsAt);
        QFETCH(std::string, tempstr1);
        ScriptedLink s;
        s.link.setMonitoring(true);
        s.port.arriveAt(500ms, arrives);
        if (!later.empty()) {
            s.port.arriveAt(700ms, later);
        }
        if (monitoringOffAt >= 0) {
            s.time.at(Millis(monitoringOffAt), [&] { s.link.setMonitoring(false); });
        }
        s.link.waitstatus();
        QCOMPARE(s.now(), Millis(endsAt));
        QCOMPARE(s.g().tempstr1, tempstr1);
        QVERIFY(s.port.writes().empty());
    }

    void waitstatusInsideAnExchangeTakesNothing() {
        ScriptedLink s;
        s.g().packet = request;
        s.link.setMonitoring(true);
        s.port.expect("&").answer(":");
        const std::string reply = longReply();
        s.port.expect("$" + request).answer(reply, 2s);
        std::string monitorRead = "unset";
        s.time.at(1s, [&] {
            s.link.waitstatus();
            monitorRead = s.g().tempstr1;
        });
        s.link.rawsender();
        QCOMPARE(monitorRead, std::string());
        QCOMPARE(s.g().packet, reply);
    }
};

QTEST_GUILESS_MAIN(TestTransferRoutines)
#include "test_transferroutines.moc"
