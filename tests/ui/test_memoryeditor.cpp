// The Memory Editor used as a user would, against a scripted controller on virtual time: each
// button's short packet on the wire, the reply decoded into its box and the bits, the status
// line, and what a failed exchange or a refused box leaves alone. Which numbers a box takes and
// how a byte or a 16-bit value is shown are the converters', tested without a display.
#include "consolefixture.h"
#include "refusal.h"
#include "ui/memoryeditor.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace pkivo;
using namespace pkivo::test;

namespace {

using S = std::string;

// The bit boxes as 8 characters, Check8 first.
QString bits(QWidget& window) {
    QString shown;
    for (int k = 8; k >= 1; --k) {
        const QString box = "Check" + QString::number(k);
        shown += child<QCheckBox>(window, qPrintable(box))->isChecked() ? '1' : '0';
    }
    return shown;
}

struct ButtonRow {
    QStringList typed; // "box=text", in order
    bool ram;
    QString button;
    S request, reply;
    QString box, shown; // where the byte shows, and what
};
struct FailRow {
    QString button;
    S request, reply; // no reply: nothing answers
    QString status;
};

} // namespace

Q_DECLARE_METATYPE(ButtonRow)
Q_DECLARE_METATYPE(FailRow)

class MemoryeditorTest : public QObject {
    Q_OBJECT
private slots:
    void loadStopsTheMonitorAndClearsTheBoxes() {
        ConsoleFixture f;
        f.console.link.setMonitoring(true);
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        QVERIFY(!f.g().monitoring);
        QVERIFY(child<QRadioButton>(window, "Option1")->isChecked());
        QCOMPARE(texts(window, {"memoryaddress", "hexaddr", "Text3", "Text4", "Text5"}),
                 QString("0|0000|||"));
    }

    // Bits 1 and 3 are ticked before each click: "Write this value" sends 10.
    void eachButtonSendsItsPacketAndShowsTheReply_data() {
        QTest::addColumn<ButtonRow>("row");
        const QStringList word{"in16bits=4660"};
        QTest::newRow("Read EEPROM 4660") << ButtonRow{
            {"memoryaddress=4660"}, false, "Command1", "OE1234DDH", "OE12342AH", "Text3", "42"};
        QTest::newRow("Write 255 to RAM 0")
            << ButtonRow{{"Text4=255"}, true, "Command2", "OS0000FFH", "OS0000FFH", "Text3", "255"};
        QTest::newRow("Write this value: the bits")
            << ButtonRow{{}, true, "Command3", "OS00000AH", "OS00000AH", "Text3", "10"};
        QTest::newRow("Write the high byte")
            << ButtonRow{word, false, "Command5", "OF000012H", "OF000012H", "Text3", "18"};
        QTest::newRow("Write the low byte")
            << ButtonRow{word, false, "Command4", "OF000034H", "OF000034H", "Text3", "52"};
        QTest::newRow("Quick read row 3 reads RAM whatever the area") << ButtonRow{
            {"Aaddress3=4096"}, false, "aread3", "OR1000DDH", "OR1000C8H", "Adata3", "200"};
        const QStringList quick{"Aaddress2=258", "Adata2=17"};
        QTest::newRow("Quick write row 2")
            << ButtonRow{quick, false, "awrite2", "OS010211H", "OS010211H", "Adata2", "17"};
    }
    void eachButtonSendsItsPacketAndShowsTheReply() {
        QFETCH(ButtonRow, row);
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        child<QRadioButton>(window, row.ram ? "Option2" : "Option1")->setChecked(true);
        child<QCheckBox>(window, "Check2")->setChecked(true);
        child<QCheckBox>(window, "Check4")->setChecked(true);
        typeAll(window, row.typed);
        expectExchange(f.port, "-" + row.request, row.reply);
        click(window, row.button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, {row.box, "Text5"}), row.shown + "|0 No errors");
        QVERIFY(child<QPushButton>(window, qPrintable(row.button))->isEnabled());
        if (row.button == "Command1") {
            QCOMPARE(bits(window), QString("00101010"));
            QCOMPARE(texts(window, {"Bitvalue", "Hexvalue", "Asciivalue"}), QString("42|2A|*"));
        }
    }

    // Before each row the window shows 42 read from EEPROM 4660, and quick row 1 shows 9.
    void aFailedExchangeLeavesTheBoxesAsTheyWere_data() {
        QTest::addColumn<FailRow>("row");
        const QString noAnswer = "Z Unable to connect";
        QTest::newRow("Read, no attention answer")
            << FailRow{"Command1", "OE1234DDH", {}, noAnswer};
        QTest::newRow("Read, reply of 10 characters")
            << FailRow{"Command1", "OE1234DDH", "OE123407Hx", "Error"};
        QTest::newRow("Write, reply not hex")
            << FailRow{"Command2", "OF123405H", "OF1234..H", "Error"};
        QTest::newRow("Quick read, no attention answer")
            << FailRow{"aread1", "OR0001DDH", {}, noAnswer};
        QTest::newRow("Quick write, no attention answer")
            << FailRow{"awrite1", "OS000109H", {}, noAnswer};
    }
    void aFailedExchangeLeavesTheBoxesAsTheyWere() {
        QFETCH(FailRow, row);
        ConsoleFixture f;
        Memoryeditor& window = f.windows.show<Memoryeditor>();
        typeAll(window, {"memoryaddress=4660", "Text4=5", "Aaddress1=1"});
        expectExchange(f.port, "-OE1234DDH", "OE12342AH");
        click(window, "Command1");
        expectExchange(f.port, "-OR0001DDH", "OR000109H");
        click(window, "aread1");
        expectReplyOrNone(f.port, "-" + row.request, row.reply);
        click(window, row.button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, {"Text5", "Text3", "Adata1"}), row.status + "|42|9");
        QCOMPARE(bits(window), QString("00101010"));
    }

    // One row for each place a box is taken from; which texts are numbers is wholeNumber's.
    void refusedBoxesAreMarkedAndNothingIsSent_data() {
        QTest::addColumn<Refusal>("row");
        const QString n = "Enter a number from 0 to";
        QTest::newRow("a byte of 300") << Refusal{"Text4", "300", "Command2", "Text4Reason", n};
        QTest::newRow("address 70000 for Read")
            << Refusal{"memoryaddress", "70000", "Command1", "memoryaddressReason", n};
        QTest::newRow("negative address for Write this value")
            << Refusal{"memoryaddress", "-1", "Command3", "memoryaddressReason", n};
        QTest::newRow("16-bit value 65536")
            << Refusal{"in16bits", "65536", "Command5", "in16bitsReason", n};
        QTest::newRow("quick address 70000")
            << Refusal{"Aaddress2", "70000", "aread2", "quickReason", n};
        QTest::newRow("quick byte 256") << Refusal{"Adata4", "256", "awrite4", "quickReason", n};
    }
    void refusedBoxesAreMarkedAndNothingIsSent() {
        QFETCH(Refusal, row);
        ConsoleFixture f;
        verifyRefusal(f.windows.show<Memoryeditor>(), f.port, row, "3");
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
        expectExchange(f.port, "-OEFFFFDDH", "OEFFFF01H");
        click(window, "Command6");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(texts(window, {"memoryaddress", "Text3"}), QString("65535|1"));
    }
};

QTEST_MAIN(MemoryeditorTest)
#include "test_memoryeditor.moc"
