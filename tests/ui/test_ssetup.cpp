// The System Setup window, used as a user would: it shows params.ovh as stored, saves what was
// typed with each field's fill text, reads the file again, explains port numbers and reconnects
// with the settings in memory.
#include "consolefixture.h"
#include "controls.h"
#include "link/packets.h"
#include "scriptedlink.h"
#include "ui/kivocon.h"
#include "ui/ssetup.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

void type(QWidget& window, const char* box, const QString& text) {
    child<QLineEdit>(window, box)->setText(text);
}

} // namespace

class SsetupTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheRecordAsStored();
    void saveWritesEachBoxWithItsFillText_data();
    void saveWritesEachBoxWithItsFillText();
    void readDropsWhatWasNotSaved();
    void comPortHelpExplainsPortNumbers();
    void reconnectUsesTheSettingsInMemory();
};

void SsetupTest::showsTheRecordAsStored() {
    ConsoleFixture f;
    Ssetup& window = f.windows.show<Ssetup>();
    QCOMPARE(window.windowTitle(), QString("System setup"));
    QCOMPARE(text(window, "comport"), QString("00"));
    QCOMPARE(text(window, "combaud"), QString("057600"));
    QCOMPARE(text(window, "comother"), QString("0000000000000000"));
    // Paths as stored: right-aligned in 32 characters, not trimmed.
    QCOMPARE(text(window, "flashfileloc"), QString("c:\\Tolvane\\flash.tmp").rightJustified(32));
    QCOMPARE(child<QLineEdit>(window, "comport")->maxLength(), 2);
    QCOMPARE(child<QLineEdit>(window, "combaud")->maxLength(), 6);
}

void SsetupTest::saveWritesEachBoxWithItsFillText_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position"); // of the field in params.ovh, 1-based
    QTest::addColumn<QString>("stored");
    QTest::newRow("port 7") << "comport"
                            << "7" << 100 << "07";
    QTest::newRow("other data keeps its right")
        << "comother"
        << "ABCD0123456789012345" << 111 << "0123456789012345";
    QTest::newRow("baud 9600") << "combaud"
                               << "9600" << 102 << "009600";
    QTest::newRow("empty baud") << "combaud"
                                << "" << 102 << "038400";
    QTest::newRow("empty parity") << "comparity"
                                  << "" << 108 << "n";
    QTest::newRow("a path of 41 characters") << "gfilebox"
                                             << "c:\\Tolvane\\scripts\\2026\\december\\kivo.txt"
                                             << 232 << "e\\scripts\\2026\\december\\kivo.txt";
    QTest::newRow("a short path") << "listfileloc"
                                  << "c:\\l.txt" << 264 << QString("c:\\l.txt").rightJustified(32);
}

void SsetupTest::saveWritesEachBoxWithItsFillText() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(int, position);
    QFETCH(QString, stored);
    ConsoleFixture f;
    Ssetup& window = f.windows.show<Ssetup>();
    type(window, box.toLatin1(), typed);
    click(window, "Saveparams");
    const std::string file = readWholeFile(f.home.file("Tolvane/params.ovh"));
    QCOMPARE(file.size(), size_t(512));
    QCOMPARE(QString::fromStdString(file.substr(size_t(position - 1), size_t(stored.size()))),
             stored);
    QCOMPARE(QString::fromStdString(f.console.sysparams.text()), QString::fromStdString(file));
    QVERIFY(f.ui.messages.empty());
}

void SsetupTest::readDropsWhatWasNotSaved() {
    ConsoleFixture f;
    Ssetup& window = f.windows.show<Ssetup>();
    type(window, "combaud", "2400");
    click(window, "loadparam");
    QCOMPARE(text(window, "combaud"), QString("057600"));
    // A file gone meanwhile: the message, and the program ends.
    QFile::remove(QString::fromStdString(f.home.file("Tolvane/params.ovh")));
    click(window, "loadparam");
    QCOMPARE(f.ui.messages,
             std::vector<std::string>{"Canot open config file or invalid directory. Re-setup"});
    QVERIFY(f.ui.ended);
}

void SsetupTest::comPortHelpExplainsPortNumbers() {
    ConsoleFixture f;
    click(f.windows.show<Ssetup>(), "Cominfo");
    QCOMPARE(f.ui.messages.size(), size_t(1));
    const std::string& help = f.ui.messages.front();
    QVERIFY(help.starts_with("With PKivo Version 2.01, Serial ports can be selected "
                             "automatically, the first port with a Kivo product attached will be "
                             "used by PKivo."));
    QVERIFY(help.find("Ports (Com & LPT), Port Settings, Advanced Tab.\n\nOn this computer, "
                      "port n is the device that ~/.config/pkivo/dosdevices/com<n> links to") !=
            std::string::npos);
}

void SsetupTest::reconnectUsesTheSettingsInMemory() {
    ConsoleFixture f;
    Kivocon& main = f.windows.show<Kivocon>();
    Ssetup& window = f.windows.show<Ssetup>();
    // Edited but not saved: port 07 still searches from port 1 at 57600 baud.
    type(window, "comport", "07");
    type(window, "combaud", "2400");
    f.port.setOpenablePorts({1});
    f.port.expect("&").answer(":", 10ms);
    f.port.expect(std::string(packet::versionRequest))
        .answer(longReply("R02", "Version 3.07 KV8"), 40ms);
    click(window, "Command2");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(f.port.settings(), std::string("57600,n,8,1"));
    QCOMPARE(text(main, "BoardData1"), QString(" Version 3.07    Port: 1"));
    QCOMPARE(text(window, "reconnectResult"), QString("Connected: Version 3.07    Port: 1"));

    // While another exchange holds the link, the click says so and changes nothing.
    f.port.expect("&");
    f.time.after(500ms, [&] { click(window, "Command2"); });
    f.console.link.rawsender();
    QCOMPARE(text(window, "reconnectResult"),
             QString("The link is busy with another exchange: try again"));
    QCOMPARE(text(main, "BoardData1"), QString(" Version 3.07    Port: 1"));
}

QTEST_MAIN(SsetupTest)
#include "test_ssetup.moc"
