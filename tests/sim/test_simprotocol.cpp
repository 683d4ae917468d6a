// The virtual controller's serial protocol without a pseudo-terminal: every command's reply
// byte for byte, writes read back, the fault modes (set as pkivo-sim's command line sets
// them), unfinished packets, the wire's pace and the status stream around exchanges.
#include "sim/protocol.h"
#include "sim/simoptions.h"

#include <QTest>

using namespace pkivo::sim;
using pkivo::Millis;
using namespace std::chrono_literals;
using S = std::string;

namespace {

const S generic = "OV0iiiSSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
const S docomax = "OV0iii000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const S version = "OV0R02000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const S versionReply = "OV0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const S defaultBlock = "040000000000000401F409C4FF000000";
const S erasedPage(528, 'F');

auto repeat = [](const S& text, int times) {
    return QString::fromStdString(text).repeated(times).toStdString();
};
// `base` with command code `code` and `text` written from position 7.
auto packet = [](const S& code, const S& text = "", const S& base = generic) {
    return S(base).replace(3, 3, code).replace(6, text.size(), text);
};
auto withResult = [](S reply, char result) { return reply.replace(61, 1, 1, result); };
// A status record: "AB", position, stack and loop 0, `mode`, no notification, line + 1.
auto status = [](const S& mode, const S& line) { return "AB000000000000" + mode + "00" + line; };

// One step of a transcript: what the console sends, and what it has back `after` ms later.
struct Step {
    S send, expect;
    int after = 50;
};
using Transcript = std::vector<Step>;

// An attention, then `request` behind "-" when it is a short packet, "$" when long.
Step ask(const S& request, const S& reply) {
    return {"&" + S(request.size() == 9 ? "-" : "$") + request, ":" + reply};
}
auto echoed = [](const S& request) { return ask(request, request); };
auto refused = [](const S& request) { return ask(request, withResult(request, '1')); };

// pkivo-sim's options, then the steps.
void row(const char* name, const Transcript& steps, const std::vector<S>& args = {}) {
    QTest::newRow(name) << args << steps;
}

} // namespace

Q_DECLARE_METATYPE(Transcript)

class TestSimProtocol : public QObject {
    Q_OBJECT

private slots:
    void exchangesGoAsTranscribed_data() {
        QTest::addColumn<std::vector<S>>("args");
        QTest::addColumn<Transcript>("steps");
        // Every command's reply.
        row("R02 version, connect check's 67 characters",
            {ask("OV0R02000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxx000xxxx0H~",
                 packet("R02", "Version SIM 1"))});
        row("unknown code answers X", {ask(packet("R99", "00000", docomax),
                                           withResult(packet("R99", "00000", docomax), 'X'))});
        row("lines and pages beyond the flash or not in hex answer 1",
            {refused(packet("R15", "00ZZ00")), refused(packet("R15", "008000")),
             refused(packet("R14", "02048"))});
        row("unfinished packets are given up after 500 ms, a long one answered as invalid",
            {Step{"&$OV0R15000001", ":", 499}, Step{"", withResult(packet("R15"), '1'), 1},
             Step{"&-OE00", ":", 600}, ask("OE0007DDH", "OE000704H")});
        // DSR1+1; GOTO 5 at line 5, one instruction a millisecond from R05 at 50 ms. Only status
        // records follow the ready answers: running, paused at 350 ms with DSR1 held at 151,
        // resumed by R05 with line 0 at 700 ms (after the GOTO), then one last record on R00.
        const S count = "#+OV0R1D000005" + S("52200001") + S(24, 'F') + "0AFF0005" + S(24, 'F');
        row("R05, R07 and R00 take no reply; pause holds, R05 from line 0 resumes",
            {Step{count + "~", "!"},
             Step{"&$" + packet("R05", "000005"), ":" + repeat(status("10", "000006"), 2), 300},
             Step{"&$" + packet("R07", "000005"), ":" + status("30", "000006"), 300},
             ask("OR0021DDH", "OR002197H"),
             Step{"&$" + packet("R05", "000000"), ":" + status("10", "000007")},
             ask("OR0021DDH", "OR0021B0H"),
             Step{"&$" + packet("R00", "000000"), ":" + status("00", "000007"), 300}});

        row("OE and OR read EEPROM and RAM (S1 high), OF and OS echo the byte written",
            {ask("OE0007DDH", "OE000704H"), ask("OR0010DDH", "OR001005H"), echoed("OF12342AH"),
             echoed("OS8000FFH")});
        row("OS reaches servos and inputs through the RAM map: S3 moves, input 7 is on",
            {echoed("OS0015E8H"), echoed("OS010701H"),
             ask(packet("R01", "000000"),
                 "OV0R01" + repeat("05DC", 2) + "05E8" + repeat("05DC", 5) + generic.substr(38))});
        // Unknown letter, servo 9, address not hex, line beyond the flash, wrong end.
        row("short packets it cannot take answer O?ERROR?H",
            {ask("OXDDDDDDH", "O?ERROR?H"), ask("OU001009H", "O?ERROR?H"),
             ask("OEZZ00DDH", "O?ERROR?H"), ask("OT008000H", "O?ERROR?H"),
             ask("OE0007DDX", "O?ERROR?H")});
        // Writes show up in reads.
        const S rec = "0A0100640105DC000000000000000000";
        const S readRec = packet("R15", "00000A");
        row("R16 record read by R15, R17 erases it",
            {echoed(packet("R16", "00000A" + rec)), ask(readRec, packet("R15", "00000A" + rec)),
             echoed(packet("R17")), ask(readRec, packet("R15", "00000A" + S(32, 'F')))});
        const S positions = "0100065535655350200000000655356553565535";
        row("R19 position read by R18, stored as words in line 10000 of page 625",
            {echoed(packet("R19", "002710" + positions)),
             ask(packet("R18", "002710"), packet("R18", "002710" + positions)),
             ask(packet("R14", "00625"), "03E8FFFFFFFF07D00000FFFFFFFFFFFF" + S(496, 'F'))});
        const S speeds = "010020030040050060070080001002003004005006007255";
        row("R1B speed entry read by R1A, stored as bytes",
            {echoed(packet("R1B", "007D01" + speeds)),
             ask(packet("R1A", "007D01"), packet("R1A", "007D01" + speeds)),
             ask(packet("R15", "007D01"),
                 packet("R15", "007D010A141E28323C465001020304050607FF"))});
        const S block = "0B0700000100000A05DC07D081000000";
        auto params = [](const S& shown) {
            return ask(packet("R1R", "00000", docomax), packet("R1R", "00000" + shown, docomax));
        };
        row("R1W parameters read by R1R", {echoed(packet("R1W", "00000" + block)), params(block)});
        row("values it cannot hold are refused, and nothing is written",
            {refused(packet("R19", "002711" + S("70000") + positions.substr(5))),
             refused(packet("R1B", "007D02abc" + speeds.substr(3))),
             refused(packet("R1W", "00000" + S(32, 'x'))),
             ask(packet("R18", "002711"), packet("R18", "002711" + repeat("65535", 8))),
             ask(packet("R1A", "007D02"), packet("R1A", "007D02" + repeat("255", 16))),
             params(defaultBlock)});
        S reloaded = defaultBlock;
        row("OF changes the EEPROM copy, R1C reloads it",
            {echoed("OF000714H"), params(defaultBlock), echoed(packet("R1C", "00000", docomax)),
             params(reloaded.replace(14, 2, "14"))});
        const S page = "0AFF0000" + S(520, 'F');
        row("page lines it cannot take are refused, and nothing is written",
            {Step{"#$02048" + page, "!" + withResult(packet("ERR", "02048"), '1')},
             Step{"#$00001" + page.substr(0, 527) + "G",
                  "!" + withResult(packet("ERR", "00001"), '1')},
             ask(packet("R14", "00000"), erasedPage), ask(packet("R14", "00001"), erasedPage)});
        // The fault modes that change bytes; what routines make of each fault is
        // test_faultmatrix's.
        row("one ignored then one garbled", {Step{"&#x&&", "?::"}},
            {"--ignore-attention", "1", "--garble-attention", "1"});
        const S withX = withResult(versionReply, 'X');
        row("reply cut short", {ask(version, withX.substr(0, 40))},
            {"--error-code", "X", "--short-reply", "40"});
        row("unframed replies",
            {ask(version, "--" + versionReply.substr(2, 60) + "--"), ask("OE0007DDH", "-E000704-")},
            {"--unframed"});
        // GOTO 0 at line 0 runs for ever, streaming its records. When an R01 exchange goes on
        // meanwhile, only whole records come before the ready answer, nothing between it and
        // the reply, and the stream goes on afterwards.
        const Step rate100 = echoed("OS000764H");
        const S goto0 = packet("R16", "0000000AFF0000" + S(24, 'F'));
        const S run0 = "&$" + packet("R05", "000000");
        const S r01 = "$" + packet("R01", "000000");
        const S r01Reply = "OV0R01" + repeat("05DC", 8) + generic.substr(38);
        const S running = status("10", "000001");
        // 100 a second from 100 ms; the three records due amid the exchange are left out.
        row("record due amid an exchange is left out",
            {rate100, echoed(goto0), Step{run0, ":" + repeat(running, 5), 45}, Step{"&", ":", 30},
             Step{r01, r01Reply, 4}, Step{"", running, 10}});
        // OS sets the working parameter block: report rate 0 means four a second, records at
        // 100, 350, 600 and 850 ms; flag bit 2 off switches the report off.
        row("report rate 0 means four a second",
            {echoed("OS000700H"), echoed(goto0), Step{run0, ":" + repeat(running, 4), 900}});
        row("report switched off", {echoed("OS000000H"), echoed(goto0), Step{run0, ":", 900}});
        // A record takes 100 ms at 2400 baud: the reports due while one is sent are dropped, so
        // records go back to back from 975 ms, and the ready answer follows the one under way.
        row("report due while the line sends is dropped",
            {Step{rate100.send, rate100.expect, 100}, Step{"&$" + goto0, ":" + goto0, 600},
             Step{run0, ":" + running, 375}, Step{"", repeat(running, 2), 200},
             Step{"&", running + ":", 110}, Step{r01, r01Reply, 540}, Step{"", running, 100}},
            {"--pace", "--baud", "2400"});
    }
    // Plays the row's steps to a freshly powered-up controller, each step's answer in full.
    void exchangesGoAsTranscribed() {
        QFETCH(std::vector<S>, args);
        QFETCH(Transcript, steps);
        SimOptions options;
        S error;
        QVERIFY2(parseSimArguments(args, options, error), error.c_str());
        Machine machine;
        Protocol protocol(machine, options.protocol);
        machine.powerUp(0us);
        Millis now{0};
        for (const Step& step : steps) {
            protocol.receive(step.send, now);
            now += Millis(step.after);
            protocol.advance(now);
            QCOMPARE(QString::fromStdString(protocol.takeDue(now)),
                     QString::fromStdString(step.expect));
        }
    }
};

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "test_simprotocol.moc"
