// The virtual controller's machine: stored programs (calls, loops, input tests, waits, moves,
// stops and their faults) and what their status records carry.
#include "sim/machine.h"

#include <QTest>

#include <vector>

using namespace pkivo::sim;
using namespace std::chrono_literals;
using Program = std::vector<std::string>;

namespace {

// Where a program is after it has run for a while: DSR1, what its status record carries, and
// servos S1 to S3.
struct Outcome {
    int dsr1 = 0;
    int line = 0; // the instruction under way, or the one it stopped at
    int notification = 0;
    bool running = false;
    int position = 0; // the last stored position moved to
    int stack = 0;
    int loop = 0;
    QList<int> servos{1500, 1500, 1500};

    std::string record() const {
        return QString::asprintf("AB%04X%04X%04X%s%02X%06X", position, stack, loop,
                                 running ? "10" : "00", notification, line + 1)
            .toStdString();
    }
};

// Records as the translator lists them: leading digits, the rest "F".
void load(Machine& m, const Program& program, int first = 0) {
    for (size_t i = 0; i < program.size(); ++i) {
        FlashMemory::Record r;
        hexToBytes(program[i] + std::string(32 - program[i].size(), 'F'), r.data(), r.size());
        m.writeRecord(first + int(i), r);
    }
}

void row(const char* name, const Program& program, const Outcome& outcome, int input3 = 0,
         int ms = 1000) {
    QTest::newRow(name) << program << input3 << ms << outcome;
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestSimMachine : public QObject {
    Q_OBJECT

private slots:
    void programsRun_data() {
        QTest::addColumn<Program>("program");
        QTest::addColumn<int>("input3");
        QTest::addColumn<int>("ms"); // how long it runs
        QTest::addColumn<Outcome>("outcome");
        // CALL 3; STOP; marker "ABC"; CALL 5; RETURN; DSR1+2; RETURN
        row("gosub nested twice",
            {"14FF0003", "80", "FE414243", "14FF0005", "16", "52200002", "16"},
            {.dsr1 = 2, .line = 1});
        // DO 2; DO 3; DSR1+1; LOOP; LOOP; STOP
        row("nested loops multiply", {"1EFF0002", "1EFF0003", "52200001", "20", "20", "80"},
            {.dsr1 = 6, .line = 5});
        row("do 0 skips its body", {"1EFF0000", "52200001", "20", "80"}, {.line = 3});
        // IFINPUT 3 GOTO 4; DSR1=1; STOP; -; DSR1=2; STOP. Then the same with "= 5".
        const Program ifGoto{"3203FFFF0A0004", "50200001", "80", "FE", "50200002", "80"};
        const Program ifValue{"320300050A0004", "50200001", "80", "FE", "50200002", "80"};
        row("ifinput off falls through", ifGoto, {.dsr1 = 1, .line = 2});
        row("ifinput on jumps", ifGoto, {.dsr1 = 2, .line = 5}, 1);
        row("ifinput value differs", ifValue, {.dsr1 = 1, .line = 2}, 1);
        row("ifinput value equal", ifValue, {.dsr1 = 2, .line = 5}, 5);
        // IFINPUT 3 GOSUB 4; STOP; -; -; DSR1=9; RETURN
        row("ifinput gosub returns", {"3203FFFF140004", "80", "FE", "FE", "50200009", "16"},
            {.dsr1 = 9, .line = 1}, 1);
        row("ifinput stop", {"3203FFFF80", "50200001", "80"}, {}, 1);
        row("subtract wraps at 16 bits", {"54200001", "80"}, {.dsr1 = 0xFFFF, .line = 1});
        row("erased flash ends the program", {}, {});
        // CALL 2; STOP; DO 3; WAIT 1000; LOOP; RETURN
        row("record shows stack and loop", {"14FF0002", "80", "1EFF0003", "28FF03E8", "20", "16"},
            {.line = 3, .running = true, .stack = 1, .loop = 3}, 0, 100);
        // Faults stop the program with their notification.
        row("call recursion overflows the stack", {"14FF0000"},
            {.notification = 0x63, .stack = 16});
        row("return without call", {"FE", "16"}, {.line = 1, .notification = 0x63});
        row("loop without do", {"20"}, {.notification = 0x63});
        row("unknown opcode", {"FE", "77"}, {.line = 1, .notification = 0x32});
        row("goto beyond the memory", {"0AFF9000"}, {.notification = 0x32});
        row("output beyond 255", {"40FF0100"}, {.notification = 0x32});
        row("unknown register", {"50090001"}, {.notification = 0x32});
        // WAIT 500; STOP. The stored position at line 20 moves S1 to 1000 and S3 to 2000.
        row("wait holds the program", {"28FF01F4", "80"}, {.running = true}, 0, 450);
        row("wait over after 500 ms", {"28FF01F4", "80"}, {.line = 1}, 0, 550);
        // MOVE 20 RATE=10; STOP: 10 units a 20 ms frame, 500 units in a second.
        const Program move{"00FF001400000A", "80"};
        row("move holds the program", move,
            {.running = true, .position = 20, .servos{1030, 1500, 1970}}, 0, 950);
        row("move over after a second", move,
            {.line = 1, .position = 20, .servos{1000, 1500, 2000}}, 0, 1050);
        row("move at rate 0 from DSR1 (its power-up value) is at once", {"00FF001402", "80"},
            {.line = 1, .position = 20, .servos{1000, 1500, 2000}}, 0, 5);
    }
    void programsRun() {
        QFETCH(Program, program);
        QFETCH(int, input3);
        QFETCH(int, ms);
        QFETCH(Outcome, outcome);
        Machine m;
        std::string last;
        m.setStatusSink([&last](Micros, const std::string& record) { last = record; });
        m.powerUp(0us);
        load(m, program);
        load(m, {"03E8FFFF07D0"}, 20);
        m.io().inputs[3] = uint8_t(input3);
        m.run(0, 0us);
        m.advanceTo(Micros(ms * 1000));
        QCOMPARE(int(m.runner().dsr(0)), outcome.dsr1);
        QCOMPARE(m.statusRecord(), outcome.record());
        const ServoBank& s = m.servos();
        QCOMPARE(QList<int>({s.position(1), s.position(2), s.position(3)}), outcome.servos);
        if (!outcome.running) { // the last record streamed shows it stopped
            QCOMPARE(last, m.statusRecord());
        }
    }
};

QTEST_GUILESS_MAIN(TestSimMachine)
#include "test_simmachine.moc"
