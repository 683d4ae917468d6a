// The Memory Editor used as a user would, against a scripted controller on virtual time: each
// button's short packet on the wire, the reply decoded into its box and the bits, the status
// line, and what a failed exchange or a refused box leaves alone. Which numbers a box takes and
// how a byte or a 16-bit value is shown are the converters', tested without a display.
#include "consolefixture.h"
#include "controls.h"
#include "scriptedlink.h"
#include "ui/memoryeditor.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

using S = std::string;

void click(QWidget& window, const QString& button) {
    QTest::mouseClick(child<QPushButton>(window, qPrintable(button)), Qt::LeftButton);
}

// "box=text" pairs typed into the window, in order.
void typeAll(QWidget& window, const QStringList& typed) {
    for (const QString& entry : typed) {
        const QString box = entry.section('=', 0, 0);
        child<QLineEdit>(window, qPrintable(box))->setText(entry.section('=', 1));
    }
}

// The texts of `names`, joined by '|'.
QString texts(QWidget& window, std::initializer_list<const char*> names) {
    QStringList shown;
    for (const char* name : names) {
        shown << text(window, name);
    }
    return shown.join('|');
}

// The bit boxes as 8 characters, Check8 first.
QString bits(QWidget& window) {
    QString shown;
    for (int k = 8; k >= 1; --k) {
        const QString box = "Check" + QString::number(k);
        shown += child<QCheckBox>(window, qPrintable(box))->isChecked() ? '1' : '0';
    }
    return shown;
}

void answerOnce(ScriptedPort& port, const S& request, const S& reply) {
    port.expect("&").answer(":", 5ms);
    port.expect("-" + request).answer(reply, 10ms);
}

} // namespace

class MemoryeditorTest : public QObject {
    Q_OBJECT
private slots:
    void loadStopsTheMonitorAndClearsTheBoxes() {
        ConsoleFixture f;
        f.console.link.setMonitoring(true);
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        QCOMPARE(window.windowTitle(), QString("Memory Editor"));
        QVERIFY(!f.g().monitoring);
        QVERIFY(child<QRadioButton>(window, "Option1")->isChecked());
        QCOMPARE(texts(window, {"memoryaddress", "hexaddr", "Text3", "Text4", "Text5"}),
                 QString("0|0000|||"));
        QCOMPARE(child<QCheckBox>(window, "Check8")->text(), QString("Bit 7 Value = 128"));
    }

    // Bits 1 and 3 are ticked before each click: "Write this value" sends 10.
    void eachButtonSendsItsPacketAndShowsTheReply_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("ram");
        QTest::addColumn<QString>("button");
        QTest::addColumn<S>("request");
        QTest::addColumn<S>("reply");
        QTest::addColumn<QString>("box"); // where the byte shows
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, const QStringList& typed, bool ram, const char* button,
                      const S& request, const S& reply, const char* box, const char* shown) {
            QTest::newRow(name) << typed << ram << QString(button) << request << reply
                                << QString(box) << QString(shown);
        };
        const QStringList word{"in16bits=4660"};
        row("Read EEPROM 4660", {"memoryaddress=4660"}, false, "Command1", "OE1234DDH", "OE12342AH",
            "Text3", "42");
        row("Write 255 to RAM 0", {"Text4=255"}, true, "Command2", "OS0000FFH", "OS0000FFH",
            "Text3", "255");
        row("Write this value: the bits", {}, true, "Command3", "OS00000AH", "OS00000AH", "Text3",
            "10");
        row("Write the high byte", word, false, "Command5", "OF000012H", "OF000012H", "Text3",
            "18");
        row("Write the low byte", word, false, "Command4", "OF000034H", "OF000034H", "Text3", "52");
        row("Quick read row 3 reads RAM whatever the area", {"Aaddress3=4096"}, false, "aread3",
            "OR1000DDH", "OR1000C8H", "Adata3", "200");
        row("Quick write row 2", {"Aaddress2=258", "Adata2=17"}, false, "awrite2", "OS010211H",
            "OS010211H", "Adata2", "17");
    }
    void eachButtonSendsItsPacketAndShowsTheReply() {
        QFETCH(QStringList, typed);
        QFETCH(bool, ram);
        QFETCH(QString, button);
        QFETCH(S, request);
        QFETCH(S, reply);
        QFETCH(QString, box);
        QFETCH(QString, shown);
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        child<QRadioButton>(window, ram ? "Option2" : "Option1")->setChecked(true);
        child<QCheckBox>(window, "Check2")->setChecked(true);
        child<QCheckBox>(window, "Check4")->setChecked(true);
        typeAll(window, typed);
        answerOnce(f.port, request, reply);
        click(window, button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, qPrintable(box)), shown);
        QCOMPARE(text(window, "Text5"), QString("0 No errors"));
        QVERIFY(child<QPushButton>(window, qPrintable(button))->isEnabled());
        if (button == "Command1") {
            QCOMPARE(bits(window), QString("00101010"));
            QCOMPARE(texts(window, {"Bitvalue", "Hexvalue", "Asciivalue"}), QString("42|2A|*"));
        }
    }

    // Before each row the window shows 42 read from EEPROM 4660, and quick row 1 shows 9.
    void aFailedExchangeLeavesTheBoxesAsTheyWere_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<S>("request");
        QTest::addColumn<QStringList>("answers"); // the attention answer, then the reply, if any
        QTest::addColumn<QString>("status");
        const QString noAnswer = "Z Unable to connect";
        QTest::newRow("Read, no attention answer")
            << "Command1" << S("OE1234DDH") << QStringList{} << noAnswer;
        QTest::newRow("Read, reply of 10 characters")
            << "Command1" << S("OE1234DDH") << QStringList{":", "OE123407Hx"} << "Error";
        QTest::newRow("Write, reply not hex")
            << "Command2" << S("OF123405H") << QStringList{":", "OF1234..H"} << "Error";
        QTest::newRow("Quick read, no attention answer")
            << "aread1" << S("OR0001DDH") << QStringList{} << noAnswer;
        QTest::newRow("Quick write, no attention answer")
            << "awrite1" << S("OS000109H") << QStringList{} << noAnswer;
    }
    void aFailedExchangeLeavesTheBoxesAsTheyWere() {
        QFETCH(QString, button);
        QFETCH(S, request);
        QFETCH(QStringList, answers);
        QFETCH(QString, status);
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        typeAll(window, {"memoryaddress=4660", "Text4=5", "Aaddress1=1"});
        answerOnce(f.port, "OE1234DDH", "OE12342AH");
        click(window, "Command1");
        answerOnce(f.port, "OR0001DDH", "OR000109H");
        click(window, "aread1");
        if (answers.isEmpty()) {
            for (int attempt = 0; attempt < 4; ++attempt) {
                f.port.expect("&");
            }
        } else {
            f.port.expect("&").answer(answers[0].toStdString(), 5ms);
            f.port.expect("-" + request).answer(answers[1].toStdString(), 10ms);
        }
        click(window, button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "Text5"), status);
        QCOMPARE(texts(window, {"Text3", "Adata1"}), QString("42|9"));
        QCOMPARE(bits(window), QString("00101010"));
    }

    // One row for each place a box is taken from.
    void refusedBoxesAreMarkedAndNothingIsSent_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("reason");
        auto row = [](const char* name, const char* box, const char* typed, const char* button,
                      const char* reason) {
            QTest::newRow(name) << QString(box) << QString(typed) << QString(button)
                                << QString(reason);
        };
        row("a byte of 300", "Text4", "300", "Command2", "Text4Reason");
        row("a byte that is no number", "Text4", "abc", "Command2", "Text4Reason");
        row("address 70000 for Read", "memoryaddress", "70000", "Command1", "memoryaddressReason");
        row("negative address for Write this value", "memoryaddress", "-1", "Command3",
            "memoryaddressReason");
        row("16-bit value 65536", "in16bits", "65536", "Command5", "in16bitsReason");
        row("quick address 70000", "Aaddress2", "70000", "aread2", "quickReason");
        row("quick byte 256", "Adata4", "256", "awrite4", "quickReason");
    }
    void refusedBoxesAreMarkedAndNothingIsSent() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, reason);
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        QLineEdit* edit = child<QLineEdit>(window, qPrintable(box));
        edit->setText("1");
        edit->setText(typed);
        click(window, button);
        QVERIFY(f.port.writes().empty());
        QVERIFY(!edit->styleSheet().isEmpty());
        QVERIFY(text(window, qPrintable(reason)).startsWith("Enter a number from 0 to"));
        // Typing a good number takes the mark away.
        edit->setText("3");
        QVERIFY(edit->styleSheet().isEmpty());
        QCOMPARE(text(window, qPrintable(reason)), QString());
    }

    void addressSteppingStopsAtTheEnds() {
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        click(window, "Downmem");
        QCOMPARE(text(window, "memoryaddress"), QString("0"));
        typeAll(window, {"memoryaddress=65534"});
        click(window, "Upaddr");
        QCOMPARE(text(window, "hexaddr"), QString("FFFF"));
        click(window, "Upaddr");
        QCOMPARE(text(window, "memoryaddress"), QString("65535"));
        click(window, "Downmem");
        QCOMPARE(text(window, "memoryaddress"), QString("65534"));
        // Bump & Read steps, then reads at the new address.
        answerOnce(f.port, "OEFFFFDDH", "OEFFFF01H");
        click(window, "Command6");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, {"memoryaddress", "Text3"}), QString("65535|1"));
    }

    void sixteenBitValueSplitsAsTyped() {
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        typeAll(window, {"in16bits=4660", "in16bits="}); // an empty box changes nothing
        QCOMPARE(texts(window, {"Highbyte", "lowbyte", "highex", "lowhex", "longhex"}),
                 QString("18|52|12|34|1234"));
    }
};

QTEST_MAIN(MemoryeditorTest)
#include "test_memoryeditor.moc"
