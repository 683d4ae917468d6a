// The virtual controller's machine: running stored programs (calls, loops, input tests, waits,
// moves, stops and their faults), the status records they stream, and the state it keeps.
#include "sim/machine.h"
#include "sim/statefile.h"
#include "temphome.h"

#include <QTest>

#include <vector>

using namespace pkivo::sim;
using namespace std::chrono_literals;

namespace {

// A record written the way the translator lists it: leading digits, the rest "F".
FlashMemory::Record rec(const std::string& digits) {
    FlashMemory::Record r;
    const std::string padded = digits + std::string(32 - digits.size(), 'F');
    hexToBytes(padded, r.data(), r.size());
    return r;
}

void load(Machine& m, const std::vector<std::string>& program, int first = 0) {
    for (size_t i = 0; i < program.size(); ++i) {
        m.writeRecord(first + int(i), rec(program[i]));
    }
}

struct Run {
    Machine machine;
    std::vector<std::pair<Micros, std::string>> records;
    Run() {
        machine.powerUp(0us);
        machine.setStatusSink(
            [this](Micros t, const std::string& r) { records.emplace_back(t, r); });
    }
    void start(const std::vector<std::string>& program, Micros until = 1000000us) {
        load(machine, program);
        machine.run(0, 0us);
        machine.advanceTo(until);
    }
};

} // namespace

class TestSimMachine : public QObject {
    Q_OBJECT

private slots:
    void programRuns_data();
    void programRuns();
    void stackAndInstructionFaults_data();
    void stackAndInstructionFaults();
    void waitHoldsTheProgram();
    void moveGoesToTheStoredPositionAtItsRate();
    void pauseResumeAndStop();
    void statusRecordCarriesEveryField();
    void statusRecordsFollowTheReportRate_data();
    void statusRecordsFollowTheReportRate();
    void ramMapReachesParametersServosAndInputs();
    void stateSurvivesSaveAndLoad();
    void badStateFileIsRefusedWithItsLine();
};

// Each program ends in STOP; the outcome is read from outputs and DSR1.
void TestSimMachine::programRuns_data() {
    QTest::addColumn<std::vector<std::string>>("program");
    QTest::addColumn<int>("input3");
    QTest::addColumn<int>("dsr1");
    QTest::addColumn<int>("stopLine");

    using P = std::vector<std::string>;
    // CALL 3; STOP; -; DSR1=7; RETURN
    QTest::newRow("call and return") << P{"14FF0003", "80", "FE", "50200007", "16"} << 0 << 7 << 1;
    QTest::newRow("gosub nested twice")
        << P{"14FF0003", "80", "FE", "14FF0005", "16", "52200002", "16"} << 0 << 2 << 1;
    // DO 3; DSR1+1; LOOP; STOP
    QTest::newRow("do loop three times") << P{"1EFF0003", "52200001", "20", "80"} << 0 << 3 << 3;
    QTest::newRow("nested loops multiply")
        << P{"1EFF0002", "1EFF0003", "52200001", "20", "20", "80"} << 0 << 6 << 5;
    QTest::newRow("do 0 skips its body") << P{"1EFF0000", "52200001", "20", "80"} << 0 << 0 << 3;
    // IFINPUT 3 GOTO 4; DSR1=1; STOP; -; DSR1=2; STOP
    const P ifGoto{"3203FFFF0A0004", "50200001", "80", "FE", "50200002", "80"};
    QTest::newRow("ifinput off falls through") << ifGoto << 0 << 1 << 2;
    QTest::newRow("ifinput on jumps") << ifGoto << 1 << 2 << 5;
    // IFINPUT 3 = 5 GOTO 4
    const P ifValue{"320300050A0004", "50200001", "80", "FE", "50200002", "80"};
    QTest::newRow("ifinput value differs") << ifValue << 1 << 1 << 2;
    QTest::newRow("ifinput value equal") << ifValue << 5 << 2 << 5;
    // IFINPUT 3 GOSUB 4; STOP; -; -; DSR1=9; RETURN
    QTest::newRow("ifinput gosub returns")
        << P{"3203FFFF140004", "80", "FE", "FE", "50200009", "16"} << 1 << 9 << 1;
    QTest::newRow("ifinput stop") << P{"3203FFFF80", "50200001", "80"} << 1 << 0 << 0;
    QTest::newRow("goto skips") << P{"0AFF0002", "50200001", "80"} << 0 << 0 << 2;
    QTest::newRow("subtract wraps at 16 bits") << P{"54200001", "80"} << 0 << 0xFFFF << 1;
    QTest::newRow("marker and nop do nothing")
        << P{"FE414243", "FE", "50200004", "80"} << 0 << 4 << 3;
}

void TestSimMachine::programRuns() {
    QFETCH(std::vector<std::string>, program);
    QFETCH(int, input3);
    QFETCH(int, dsr1);
    QFETCH(int, stopLine);
    Run run;
    run.machine.io().inputs[3] = uint8_t(input3);
    run.start(program);
    QVERIFY(!run.machine.runner().running());
    QCOMPARE(int(run.machine.runner().notification()), 0);
    QCOMPARE(int(run.machine.runner().dsr(0)), dsr1);
    QCOMPARE(run.machine.runner().line(), stopLine);
    QCOMPARE(run.machine.runner().callDepth(), 0);
}

void TestSimMachine::stackAndInstructionFaults_data() {
    QTest::addColumn<std::vector<std::string>>("program");
    QTest::addColumn<int>("notification");
    QTest::addColumn<int>("line");
    using P = std::vector<std::string>;
    QTest::newRow("call recursion overflows the stack") << P{"14FF0000"} << 0x63 << 0;
    QTest::newRow("return without call") << P{"FE", "16"} << 0x63 << 1;
    QTest::newRow("loop without do") << P{"20"} << 0x63 << 0;
    QTest::newRow("unknown opcode") << P{"FE", "77"} << 0x32 << 1;
    QTest::newRow("position row run as code") << P{"03E8FFFF"} << 0x32 << 0;
    QTest::newRow("goto beyond the memory") << P{"0AFF9000"} << 0x32 << 0;
    QTest::newRow("output beyond 255") << P{"40FF0100"} << 0x32 << 0;
    QTest::newRow("unknown register") << P{"50090001"} << 0x32 << 0;
    QTest::newRow("erased flash ends the program") << P{} << 0x00 << 0;
    QTest::newRow("stop keeps its line") << P{"FE", "FE", "80"} << 0x00 << 2;
}

void TestSimMachine::stackAndInstructionFaults() {
    QFETCH(std::vector<std::string>, program);
    QFETCH(int, notification);
    QFETCH(int, line);
    Run run;
    run.start(program);
    QVERIFY(!run.machine.runner().running());
    QCOMPARE(int(run.machine.runner().notification()), notification);
    QCOMPARE(run.machine.runner().line(), line);
    // The last record reports the stop and the notification.
    QVERIFY(!run.records.empty());
    const std::string last = run.records.back().second;
    QCOMPARE(last.substr(14, 2), std::string("00"));
    QCOMPARE(std::stoi(last.substr(16, 2), nullptr, 16), notification);
    QCOMPARE(std::stoi(last.substr(18, 6), nullptr, 16), line + 1);
}

void TestSimMachine::waitHoldsTheProgram() {
    Run run;
    // OUTPUT 1 ON; WAIT 500; OUTPUT 2 ON; STOP
    load(run.machine, {"40FF0001", "28FF01F4", "40FF0002", "80"});
    run.machine.run(0, 0us);
    run.machine.advanceTo(300000us);
    QCOMPARE(int(run.machine.io().outputs[1]), 1);
    QCOMPARE(int(run.machine.io().outputs[2]), 0);
    QVERIFY(run.machine.runner().running());
    run.machine.advanceTo(600000us);
    QCOMPARE(int(run.machine.io().outputs[2]), 1);
    QVERIFY(!run.machine.runner().running());
}

void TestSimMachine::moveGoesToTheStoredPositionAtItsRate() {
    Run run;
    // Position line 10000: S1=1000, S3=2000, the others left alone.
    load(run.machine, {"03E8FFFF07D0"}, 10000);
    // MOVE 10000 RATE=10; OUTPUT 1 ON; STOP
    load(run.machine, {"00FF2710"
                       "00000A",
                       "40FF0001", "80"});
    run.machine.run(0, 0us);
    run.machine.advanceTo(500000us);
    // 10 units a 20 ms frame: halfway after half a second, the program waiting for it.
    QVERIFY(run.machine.servos().position(1) < 1300 && run.machine.servos().position(1) > 1200);
    QCOMPARE(int(run.machine.io().outputs[1]), 0);
    run.machine.advanceTo(1200000us);
    QCOMPARE(int(run.machine.servos().position(1)), 1000);
    QCOMPARE(int(run.machine.servos().position(2)), 1500);
    QCOMPARE(int(run.machine.servos().position(3)), 2000);
    QCOMPARE(int(run.machine.io().outputs[1]), 1);
    QCOMPARE(int(run.machine.runner().lastPosition()), 10000);

    // Rate 0 from DSR1 (its power-up value) moves at once.
    Run immediate;
    load(immediate.machine, {"03E8"}, 20);
    immediate.start({"00FF001402", "80"}, 5000us);
    QCOMPARE(int(immediate.machine.servos().position(1)), 1000);
}

void TestSimMachine::pauseResumeAndStop() {
    Run run;
    run.start({"52200001", "0AFF0000"}, 100000us);
    QVERIFY(run.machine.runner().running());
    run.machine.pause(100000us);
    const int counted = run.machine.runner().dsr(0);
    run.machine.advanceTo(2000000us);
    QCOMPARE(int(run.machine.runner().dsr(0)), counted);
    QCOMPARE(int(run.machine.runner().modeFlags()), 0x30);
    QCOMPARE(run.records.back().second.substr(14, 2), std::string("30"));
    run.machine.run(0, 2000000us); // "Run / Resume" sends line 0
    run.machine.advanceTo(2100000us);
    QVERIFY(run.machine.runner().dsr(0) > counted);
    run.machine.stop(2100000us);
    QVERIFY(!run.machine.runner().running());
    QCOMPARE(run.records.back().second.substr(14, 2), std::string("00"));
    QVERIFY(!run.machine.streaming());
}

void TestSimMachine::statusRecordCarriesEveryField() {
    Run run;
    // CALL 2; STOP; DO 3; WAIT 1000; LOOP; RETURN
    run.start({"14FF0002", "80", "1EFF0003", "28FF03E8", "20", "16"}, 100000us);
    QCOMPARE(run.machine.statusRecord(), std::string("AB0000000100031000000004"));
}

void TestSimMachine::statusRecordsFollowTheReportRate_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("records");
    QTest::newRow("default four a second") << 0x04 << 4 << 5;
    QTest::newRow("rate 0 means four") << 0x04 << 0 << 5;
    QTest::newRow("ten a second") << 0x04 << 10 << 11;
    QTest::newRow("report switched off") << 0x00 << 10 << 0;
}

void TestSimMachine::statusRecordsFollowTheReportRate() {
    QFETCH(int, flags);
    QFETCH(int, rate);
    QFETCH(int, records);
    Run run;
    auto params = BoardParams::defaults();
    params[BoardParams::flagsByte] = uint8_t(flags);
    params[BoardParams::reportRateByte] = uint8_t(rate);
    run.machine.storeParams(params);
    run.start({"0AFF0000"}, 1000000us); // a program that never ends
    QCOMPARE(int(run.records.size()), records);
    for (const auto& [time, record] : run.records) {
        QCOMPARE(record.size(), size_t(24));
        QCOMPARE(record.substr(0, 2), std::string("AB"));
    }
}

void TestSimMachine::ramMapReachesParametersServosAndInputs() {
    Machine m;
    m.powerUp(0us);
    QCOMPARE(int(m.ramByte(Machine::ramServos)), 0x05); // 1500 = 05DC
    QCOMPARE(int(m.ramByte(Machine::ramServos + 1)), 0xDC);
    m.setRamByte(Machine::ramServos + 2 * 2 + 1, 0xE8, 0us); // S3 low byte: 05E8
    QCOMPARE(int(m.servos().position(3)), 0x05E8);
    m.setRamByte(Machine::ramInputs + 7, 1, 0us);
    QCOMPARE(int(m.io().inputs[7]), 1);
    m.setRamByte(Machine::ramParams + BoardParams::reportRateByte, 9, 0us);
    QCOMPARE(m.params().reportRate(), 9);
    // The EEPROM copy is untouched until reloaded over it.
    QCOMPARE(int(m.eepromByte(BoardParams::reportRateByte)), 4);
    m.reloadParams();
    QCOMPARE(m.params().reportRate(), 4);
    m.setRamByte(0x8000, 0x5A, 0us);
    QCOMPARE(int(m.ramByte(0x8000)), 0x5A);
}

void TestSimMachine::stateSurvivesSaveAndLoad() {
    pkivo::test::TempHome home;
    Machine before;
    load(before, {"0AFF0000"}, 10000);
    before.setEepromByte(0x0123, 0x42);
    std::string error;
    QVERIFY(saveStateFile(before, defaultStatePath(), error));

    Machine after;
    QVERIFY(loadStateFile(after, defaultStatePath(), error));
    QCOMPARE(after.flash().recordHex(10000), std::string("0AFF0000FFFFFFFFFFFFFFFFFFFFFFFF"));
    QCOMPARE(after.flash().pageHex(0), std::string(528, 'F'));
    QCOMPARE(int(after.eepromByte(0x0123)), 0x42);
    QCOMPARE(int(after.eepromByte(BoardParams::reportRateByte)), 4);
    QCOMPARE(stateText(after), stateText(before));

    Machine fresh; // no file yet: erased flash, nothing to complain about
    QVERIFY(loadStateFile(fresh, home.file("none.state"), error));
}

void TestSimMachine::badStateFileIsRefusedWithItsLine() {
    pkivo::test::TempHome home;
    const std::string path = home.file("bad.state");
    pkivo::test::writeWholeFile(path, "PKIVO-SIM STATE 1\nPAGE 00001 " + std::string(528, 'F') +
                                          "\nPAGE 00002 12XY\n");
    Machine m;
    std::string error;
    QVERIFY(!loadStateFile(m, path, error));
    QVERIFY2(error.find("line 3") != std::string::npos, error.c_str());
    pkivo::test::writeWholeFile(path, "something else\n");
    QVERIFY(!loadStateFile(m, path, error));
}

QTEST_GUILESS_MAIN(TestSimMachine)
#include "test_simmachine.moc"
