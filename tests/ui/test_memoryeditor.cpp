// The Memory Editor used as a user would, against a scripted controller on virtual time: each
// button's short packet on the wire, the reply decoded into its box and the bits, the status
// line, and what a failed exchange or a refused box leaves alone.
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

// The bit boxes as 8 characters, Check8 first.
QString bits(QWidget& window) {
    QString shown;
    for (int k = 8; k >= 1; --k) {
        shown += child<QCheckBox>(window, qPrintable("Check" + QString::number(k)))->isChecked()
                     ? '1'
                     : '0';
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
    void loadStopsTheMonitorAndClearsTheBoxes();
    void eachButtonSendsItsPacketAndShowsTheReply_data();
    void eachButtonSendsItsPacketAndShowsTheReply();
    void aFailedExchangeLeavesTheBoxesAsTheyWere_data();
    void aFailedExchangeLeavesTheBoxesAsTheyWere();
    void refusedBoxesAreMarkedAndNothingIsSent_data();
    void refusedBoxesAreMarkedAndNothingIsSent();
    void addressSteppingStopsAtTheEnds();
    void sixteenBitValueSplitsAsTyped();
};

void MemoryeditorTest::loadStopsTheMonitorAndClearsTheBoxes() {
    ConsoleFixture f;
    f.console.link.setMonitoring(true);
    Memoryeditor& window = f.windows.show<Memoryeditor>();
    QCOMPARE(window.windowTitle(), QString("Memory Editor"));
    QVERIFY(!f.g().monitoring);
    QVERIFY(child<QRadioButton>(window, "Option1")->isChecked());
    QCOMPARE(text(window, "memoryaddress"), QString("0"));
    QCOMPARE(text(window, "hexaddr"), QString("0000"));
    for (const char* box : {"Text3", "Text4", "Text5"}) {
        QCOMPARE(text(window, box), QString());
    }
    QCOMPARE(child<QCheckBox>(window, "Check8")->text(), QString("Bit 7 Value = 128"));
}

void MemoryeditorTest::eachButtonSendsItsPacketAndShowsTheReply_data() {
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("ram");
    QTest::addColumn<QString>("button");
    QTest::addColumn<S>("request");
    QTest::addColumn<S>("reply");
    QTest::addColumn<QString>("box"); // where the byte shows
    QTest::addColumn<QString>("shown");
    const QStringList at4660{"memoryaddress=4660"};
    QTest::newRow("Read EEPROM 4660")
        << at4660 << false << "Command1" << S("OE1234DDH") << S("OE12342AH") << "Text3"
        << "42";
    QTest::newRow("Read RAM 16") << QStringList{"memoryaddress=16"} << true << "Command1"
                                 << S("OR0010DDH") << S("OR001005H") << "Text3"
                                 << "5";
    QTest::newRow("Write 255 to RAM 0") << QStringList{"Text4=255"} << true << "Command2"
                                        << S("OS0000FFH") << S("OS0000FFH") << "Text3"
                                        << "255";
    QTest::newRow("Write to EEPROM 65535")
        << QStringList{"memoryaddress=65535", "Text4=7"} << false << "Command2" << S("OFFFFF07H")
        << S("OFFFFF07H") << "Text3"
        << "7";
    QTest::newRow("Write this value: the bits")
        << QStringList{} << true << "Command3" << S("OS00000AH") << S("OS00000AH") << "Text3"
        << "10";
    QTest::newRow("Write the high byte") << QStringList{"in16bits=4660"} << false << "Command5"
                                         << S("OF000012H") << S("OF000012H") << "Text3"
                                         << "18";
    QTest::newRow("Write the low byte") << QStringList{"in16bits=4660"} << false << "Command4"
                                        << S("OF000034H") << S("OF000034H") << "Text3"
                                        << "52";
    QTest::newRow("Quick read row 3 reads RAM whatever the area")
        << QStringList{"Aaddress3=4096"} << false << "aread3" << S("OR1000DDH") << S("OR1000C8H")
        << "Adata3"
        << "200";
    QTest::newRow("Quick write row 2") << QStringList{"Aaddress2=258", "Adata2=17"} << false
                                       << "awrite2" << S("OS010211H") << S("OS010211H") << "Adata2"
                                       << "17";
}

void MemoryeditorTest::eachButtonSendsItsPacketAndShowsTheReply() {
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
    if (button == "Command1" && shown == "42") {
        QCOMPARE(bits(window), QString("00101010"));
        QCOMPARE(text(window, "Bitvalue"), QString("42"));
        QCOMPARE(text(window, "Hexvalue"), QString("2A"));
        QCOMPARE(text(window, "Asciivalue"), QString("*"));
    }
}

// Before each row the window shows 42 read from EEPROM 4660, and quick row 1 shows 9.
void MemoryeditorTest::aFailedExchangeLeavesTheBoxesAsTheyWere_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<S>("request");
    QTest::addColumn<QStringList>("answers"); // the attention answer, then the reply, if any
    QTest::addColumn<QString>("status");
    const QString noAnswer = "Z Unable to connect";
    QTest::newRow("Read, no attention answer")
        << "Command1" << S("OE1234DDH") << QStringList{} << noAnswer;
    QTest::newRow("Read, no reply") << "Command1" << S("OE1234DDH") << QStringList{":"} << noAnswer;
    QTest::newRow("Read, reply of 10 characters")
        << "Command1" << S("OE1234DDH") << QStringList{":", "OE123407Hx"} << "Error";
    QTest::newRow("Write, no attention answer")
        << "Command2" << S("OF123405H") << QStringList{} << noAnswer;
    QTest::newRow("Write, reply not hex")
        << "Command2" << S("OF123405H") << QStringList{":", "OF1234..H"} << "Error";
    QTest::newRow("Quick read, no attention answer")
        << "aread1" << S("OR0001DDH") << QStringList{} << noAnswer;
    QTest::newRow("Quick write, no attention answer")
        << "awrite1" << S("OS000109H") << QStringList{} << noAnswer;
}

void MemoryeditorTest::aFailedExchangeLeavesTheBoxesAsTheyWere() {
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
        auto& sent = f.port.expect("-" + request);
        if (answers.size() > 1) {
            sent.answer(answers[1].toStdString(), 10ms);
        }
    }
    click(window, button);
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "Text5"), status);
    QCOMPARE(text(window, "Text3"), QString("42"));
    QCOMPARE(bits(window), QString("00101010"));
    QCOMPARE(text(window, "Adata1"), QString("9"));
}

void MemoryeditorTest::refusedBoxesAreMarkedAndNothingIsSent_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a byte of 300") << "Text4"
                                   << "300"
                                   << "Command2"
                                   << "Text4Reason";
    QTest::newRow("a byte that is no number") << "Text4"
                                              << "abc"
                                              << "Command2"
                                              << "Text4Reason";
    QTest::newRow("an empty byte") << "Text4"
                                   << ""
                                   << "Command2"
                                   << "Text4Reason";
    QTest::newRow("address 70000 for Read") << "memoryaddress"
                                            << "70000"
                                            << "Command1"
                                            << "memoryaddressReason";
    QTest::newRow("negative address for Write this value") << "memoryaddress"
                                                           << "-1"
                                                           << "Command3"
                                                           << "memoryaddressReason";
    QTest::newRow("16-bit value 65536") << "in16bits"
                                        << "65536"
                                        << "Command5"
                                        << "in16bitsReason";
    QTest::newRow("quick address 70000") << "Aaddress2"
                                         << "70000"
                                         << "aread2"
                                         << "quickReason";
    QTest::newRow("quick byte 256") << "Adata4"
                                    << "256"
                                    << "awrite4"
                                    << "quickReason";
}

void MemoryeditorTest::refusedBoxesAreMarkedAndNothingIsSent() {
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

void MemoryeditorTest::addressSteppingStopsAtTheEnds() {
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
    QCOMPARE(text(window, "memoryaddress"), QString("65535"));
    QCOMPARE(text(window, "Text3"), QString("1"));
}

void MemoryeditorTest::sixteenBitValueSplitsAsTyped() {
    ConsoleFixture f;
    Memoryeditor& window = f.windows.show<Memoryeditor>();
    typeAll(window, {"in16bits=4660"});
    const std::vector<std::pair<const char*, QString>> expected{{"Highbyte", "18"},
                                                                {"lowbyte", "52"},
                                                                {"highex", "12"},
                                                                {"lowhex", "34"},
                                                                {"longhex", "1234"}};
    // An empty box changes nothing.
    typeAll(window, {"in16bits="});
    for (const auto& [label, shown] : expected) {
        QCOMPARE(text(window, label), shown);
    }
}

QTEST_MAIN(MemoryeditorTest)
#include "test_memoryeditor.moc"
