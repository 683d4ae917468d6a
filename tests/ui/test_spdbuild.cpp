// The Speed Editor used as a user would: Put and Get on the wire against a scripted controller,
// the location stepped by the scroll bar's up arrow, what a failed Get leaves, refused boxes,
// and a Put then Get round trip on the virtual controller whose entry a MOVE with TABLE= uses.
#include "consolefixture.h"
#include "refusal.h"
#include "simfixture.h"
#include "ui/spdbuild.h"

#include <QScrollBar>

using namespace pkivo;
using namespace pkivo::test;

namespace {

using S = std::string;

const S zeros48(48, '0');
// Speeds 1..8 as 010..080, control values 101..108.
const S entry = "010020030040050060070080101102103104105106107108";

// S1sedat..S8sedat then S1con..S8con.
QStringList boxNames() {
    QStringList names;
    for (const char* suffix : {"sedat", "con"}) {
        for (int k = 1; k <= 8; ++k) {
            names << "S" + QString::number(k) + suffix;
        }
    }
    return names;
}

void fillBoxes(QWidget& window, const S& values) {
    for (int i = 0; const QString& name : boxNames()) {
        type(window, name, QString::fromStdString(values.substr(size_t(3 * i++), 3)));
    }
}

struct FailRow {
    S reply; // none: nothing answers
    QString status, packet;
};

} // namespace

Q_DECLARE_METATYPE(FailRow)

class SpdbuildTest : public QObject {
    Q_OBJECT
private slots:
    void putSendsTheBoxesAtTheLocation() {
        ConsoleFixture f;
        Spdbuild& window = f.windows.show<Spdbuild>();
        const S reply = "OV0R1B007D00" + zeros48 + "x0H~";
        expectExchange(f.port, "$OV0R1B007D00" + zeros48 + "x0H~", reply);
        click(window, "Command1");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "Text6"), QString::fromStdString(reply));
        QCOMPARE(text(window, "working"), QString("0 No errors"));
    }

    // The scroll bar's top arrow raises the location; Get fills every box from the reply.
    void theUpArrowStepsTheLocationAndGetFillsTheBoxes() {
        ConsoleFixture f;
        Spdbuild& window = f.windows.show<Spdbuild>();
        QScrollBar* bar = child<QScrollBar>(window, "VScroll1");
        // The arrow fills the top of the bar, a square as wide as the bar.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->width() / 2));
        QCOMPARE(text(window, "Text2"), QString("32001"));
        expectExchange(f.port, "$OV0R1A007D01xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~",
                       "OV0R1A007D01" + entry + "x0H~");
        click(window, "Command2");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, boxNames(), ' '),
                 QString("010 020 030 040 050 060 070 080 101 102 103 104 105 106 107 108"));
    }

    void aFailedGetLeavesEveryBoxAsItWas_data() {
        QTest::addColumn<FailRow>("row");
        QTest::newRow("no attention answer") << FailRow{{}, "Z Unable to connect", ""};
        const S refused = "OV0R1A007D00" + entry + "x1H~";
        QTest::newRow("the controller's error code") << FailRow{
            refused, "1 System received invalid packet", QString::fromStdString(refused)};
    }
    void aFailedGetLeavesEveryBoxAsItWas() {
        QFETCH(FailRow, row);
        ConsoleFixture f;
        Spdbuild& window = f.windows.show<Spdbuild>();
        fillBoxes(window, "001002003004005006007008009010011012013014015016");
        expectReplyOrNone(
            f.port, "$OV0R1A007D00xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", row.reply);
        click(window, "Command2");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, boxNames(), ' '),
                 QString("001 002 003 004 005 006 007 008 009 010 011 012 013 014 015 016"));
        QCOMPARE(text(window, "working"), row.status);
        QCOMPARE(text(window, "Text6"), row.packet);
    }

    void refusedBoxesAreMarkedAndNothingIsSent_data() {
        QTest::addColumn<Refusal>("row");
        QTest::newRow("speed 1500 is not cut to 500")
            << Refusal{"S1sedat", "1500", "Command1", "valuesReason", ""};
        QTest::newRow("control value not a number")
            << Refusal{"S8con", "abc", "Command1", "valuesReason", ""};
        QTest::newRow("location below 32000 for Get")
            << Refusal{"Text2", "31999", "Command2", "Text2Reason", ""};
        QTest::newRow("location not a number for Put")
            << Refusal{"Text2", "32a00", "Command1", "Text2Reason", ""};
    }
    void refusedBoxesAreMarkedAndNothingIsSent() {
        QFETCH(Refusal, row);
        ConsoleFixture f;
        verifyRefusal(f.windows.show<Spdbuild>(), f.port, row,
                      QString(row.box) == "Text2" ? "32000" : "1");
    }

    // The entry written at table 5 comes back from Get, and MOVE 20 TABLE=5 moves at its rates.
    void anEntryPutIsReadBackAndUsedByAMove() {
        SimFixture s;
        Spdbuild& window = s.windows.show<Spdbuild>();
        type(window, "Text2", "32005");
        fillBoxes(window, "010020000000000000000000000000000000000000000000");
        click(window, "Command1");
        QCOMPARE(text(window, "working"), QString("0 No errors"));
        fillBoxes(window, zeros48);
        click(window, "Command2");
        QCOMPARE(texts(window, boxNames(), ' '),
                 QString("010 020 000 000 000 000 000 000 000 000 000 000 000 000 000 000"));

        sim::Machine& m = s.line.machine;
        sim::FlashMemory::Record position;
        sim::hexToBytes("03E807D0" + S(24, 'F'), position.data(), position.size());
        m.writeRecord(20, position);
        sim::FlashMemory::Record move;
        sim::hexToBytes("00FF0014010005" + S(18, 'F'), move.data(), move.size());
        m.writeRecord(0, move);
        const sim::Micros start = sim::toMicros(s.line.time.now());
        m.run(0, start);
        // 10 and 20 units a 20 ms frame: after 0.5 s S1 has come 250 of 500, S2 all of 500.
        m.advanceTo(start + sim::Micros(500'000));
        QCOMPARE(m.servos().position(1), 1250);
        QCOMPARE(m.servos().position(2), 2000);
    }
};

QTEST_MAIN(SpdbuildTest)
#include "test_spdbuild.moc"
