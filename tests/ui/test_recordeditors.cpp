// The Instruction Editor and the Packed Move/Position Editor used as a user would: the packets on
// the wire against a scripted controller, the boxes a reply fills, what a failed exchange or a
// refused box leaves alone, and a Put then Get round trip through the simulated controller.
#include "consolefixture.h"
#include "refusal.h"
#include "simfixture.h"
#include "ui/insbuilder.h"
#include "ui/packedinsbuilder.h"

#include <QScrollBar>

using namespace pkivo;
using namespace pkivo::test;

namespace {

using S = std::string;

struct Row {
    bool packed;
    QString typed; // "box=text;..." in order; VScroll1 takes a position
    QString button;
    S attention, sent, reply; // sent empty: the attention goes unanswered
    QString shows;            // "control=text;..." after the click
};
struct Refused {
    bool packed;
    Refusal refusal;
};

RecordEditor& editor(WindowSet& windows, bool packed) {
    return packed ? static_cast<RecordEditor&>(windows.show<Packedinsbuilder>())
                  : windows.show<Insbuilder>();
}

} // namespace

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Refused)

class RecordEditorsTest : public QObject {
    Q_OBJECT
private slots:
    void exchanges_data() {
        QTest::addColumn<Row>("r");
        const S put10 = "OV0R16-------------------------------------------------------0H~";
        const S reply255 = "OV0R150000000A0100640105DC000000000000000000-----------------0H~";
        const S refused = "OV0R15-------------------------------------------------------XH~";
        const QString kept = "instruction=255;Toposition=65535;";
        // clang-format off
        QTest::newRow("put of the defaults at line 10") << Row{false, "linenumber=000010", "Command1", "&",
            "$OV0R1600000AFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFDDDxxxxxxxxxxxxxx0H~", put10,
            "working=0 No errors;info=" + QString::fromStdString(put10)};
        QTest::newRow("get at 255 fills every box") << Row{false, "linenumber=255", "Command2", "&",
            "$OV0R150000FFxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", reply255,
            "instruction=10;Speedref=1;Toposition=100;specify_0=1;datax_0=1500;specify_1=0;"
            "datax_2=0;data5_2=0;working=0 No errors;info=0A0100640105DC000000000000000000"};
        QTest::newRow("the scroll bar's top is line 32000") << Row{false, "VScroll1=32000", "Command2",
            "&", "$OV0R15007D00xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", "",
            "linenumber=032000"};
        QTest::newRow("a timed-out get keeps the boxes") << Row{false, "", "Command2", "&",
            "$OV0R15000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", "",
            kept + "working=Z Unable to connect"};
        QTest::newRow("a get the controller refused keeps the boxes") << Row{false, "", "Command2",
            "&", "$OV0R15000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", refused,
            kept + "working=X Invalid Instruction sent"};
        QTest::newRow("packed put of the defaults at line 5 shows its own code's text")
            << Row{true, "linenumber=000005", "Command1", "#",
            "+OV0R1D000005FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF~", "",
            "working=0 No errors;info=+OV0R1D000005FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF~"};
        QTest::newRow("packed get fills every box") << Row{true, "", "Command2", "&",
            "$OV0R1C000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~",
            "3C01271031F40000000000000000000027100000000000000000000000000000",
            "instruction=60;Speedref=1;Toposition=10000;specify_0=3;datax_0=500;S1edat=10000;"
            "S8edat=0;working=0 No errors"};
        QTest::newRow("an unanswered packed get keeps the boxes") << Row{true, "", "Command2", "&",
            "", "", kept + "working=Z Unable to connect"};
        // clang-format on
    }

    void exchanges() {
        QFETCH(Row, r);
        ConsoleFixture f;
        RecordEditor& window = editor(f.windows, r.packed);
        QStringList typed = r.typed.split(';', Qt::SkipEmptyParts);
        if (!typed.isEmpty() && typed.front().startsWith("VScroll1=")) {
            child<QScrollBar>(window, "VScroll1")
                ->setValue(typed.takeFirst().section('=', 1).toInt());
        }
        typeAll(window, typed);
        ScriptedPort::Step& knock = f.port.expect(r.attention);
        if (!r.sent.empty()) {
            knock.answer(r.attention == "#" ? "!" : ":", 5ms);
            f.port.expect(r.sent).answer(r.reply, 10ms);
        }
        f.g().errtext = "Unable to connect"; // a stale text from an earlier exchange
        click(window, r.button);
        PKIVO_VERIFY_SCRIPT(f.port);
        for (const QString& entry : r.shows.split(';')) {
            const QString name = entry.section('=', 0, 0);
            QCOMPARE(name + "=" + text(window, qPrintable(name)), entry);
        }
    }

    void refusedBoxesSendNothing_data() {
        QTest::addColumn<Refused>("r");
        // clang-format off
        QTest::newRow("abc") << Refused{false, {"instruction", "abc", "Command1", "refusedReason", "Enter a number from 0 to 255"}};
        QTest::newRow("300 in a byte") << Refused{false, {"instruction", "300", "Command1", "refusedReason", "Enter a number from 0 to 255"}};
        QTest::newRow("line 32001") << Refused{false, {"linenumber", "32001", "Command2", "refusedReason", "Enter a line from 0 to 32000"}};
        QTest::newRow("17 in a selector") << Refused{true, {"specify_0", "17", "Command1", "refusedReason", "Enter a number from 0 to 15"}};
        // clang-format on
    }

    void refusedBoxesSendNothing() {
        QFETCH(Refused, r);
        ConsoleFixture f;
        verifyRefusal(editor(f.windows, r.packed), f.port, r.refusal);
    }

    void theUpArrowRaisesTheLine() {
        ConsoleFixture f;
        Insbuilder& window = f.windows.show<Insbuilder>();
        auto* bar = child<QScrollBar>(window, "VScroll1");
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 3));
        QCOMPARE(text(window, "linenumber"), QString("000001"));
    }

    void putThenGetThroughTheController_data() {
        QTest::addColumn<bool>("packed");
        QTest::newRow("instruction record") << false;
        QTest::newRow("packed record") << true;
    }

    // Every box gets a value of its own; Get after Put at the same line shows them again.
    void putThenGetThroughTheController() {
        QFETCH(bool, packed);
        SimFixture s;
        RecordEditor& window = editor(s.windows, packed);
        const auto boxes = record::boxes(packed ? record::Kind::Packed : record::Kind::Instruction);
        type(window, "linenumber", "321");
        for (size_t i = 0; i < boxes.size(); ++i) {
            type(window, QString::fromLatin1(boxes[i].name), QString::number(i + 1));
        }
        click(window, "Command1");
        for (const record::Box& b : boxes) {
            type(window, QString::fromLatin1(b.name), "0");
        }
        click(window, "Command2");
        QCOMPARE(text(window, "working"), QString("0 No errors"));
        for (size_t i = 0; i < boxes.size(); ++i) {
            const QByteArray name(boxes[i].name.data(), qsizetype(boxes[i].name.size()));
            QCOMPARE(text(window, name.constData()), QString::number(i + 1));
        }
    }
};

QTEST_MAIN(RecordEditorsTest)
#include "test_recordeditors.moc"
