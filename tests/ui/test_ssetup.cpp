// The System Setup window, used as a user would: it shows params.ovh as stored, saves what was
// typed with each field's fill text, reads the file again, explains port numbers and reconnects
// with the settings in memory.
#include "consolefixture.h"
#include "link/packets.h"
#include "ui/kivocon.h"
#include "ui/ssetup.h"

using namespace pkivo;
using namespace pkivo::test;

namespace {

struct FillRow {
    const char* box;
    QString typed;
    int position; // of the field in params.ovh, 1-based
    QString stored;
};

} // namespace

Q_DECLARE_METATYPE(FillRow)

class SsetupTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheRecordAsStored() {
        ConsoleFixture f;
        Ssetup& window = f.windows.show<Ssetup>();
        QCOMPARE(texts(window, {"comport", "combaud", "comother"}),
                 QString("00|057600|0000000000000000"));
        QCOMPARE(QString("%1|%2")
                     .arg(child<QLineEdit>(window, "comport")->maxLength())
                     .arg(child<QLineEdit>(window, "combaud")->maxLength()),
                 QString("2|6"));
        // Paths as stored: right-aligned in 32 characters, not trimmed.
        QCOMPARE(text(window, "flashfileloc"),
                 QString("c:\\Tolvane\\flash.tmp").rightJustified(32));
    }

    void saveWritesEachBoxWithItsFillText_data() {
        QTest::addColumn<FillRow>("row");
        const QString path41 = "c:\\Tolvane\\scripts\\2026\\december\\kivo.txt";
        QTest::newRow("port 7") << FillRow{"comport", "7", 100, "07"};
        QTest::newRow("other data keeps its right")
            << FillRow{"comother", "ABCD0123456789012345", 111, "0123456789012345"};
        QTest::newRow("baud 9600") << FillRow{"combaud", "9600", 102, "009600"};
        QTest::newRow("empty baud") << FillRow{"combaud", "", 102, "038400"};
        QTest::newRow("empty parity") << FillRow{"comparity", "", 108, "n"};
        QTest::newRow("a path of 41 characters")
            << FillRow{"gfilebox", path41, 232, "e\\scripts\\2026\\december\\kivo.txt"};
        QTest::newRow("a short path")
            << FillRow{"listfileloc", "c:\\l.txt", 264, QString("c:\\l.txt").rightJustified(32)};
    }
    void saveWritesEachBoxWithItsFillText() {
        QFETCH(FillRow, row);
        ConsoleFixture f;
        Ssetup& window = f.windows.show<Ssetup>();
        type(window, row.box, row.typed);
        click(window, "Saveparams");
        const std::string file = readWholeFile(f.home.file("Tolvane/params.ovh"));
        QCOMPARE(file.size(), size_t(512));
        QCOMPARE(QString::fromStdString(file).mid(row.position - 1, row.stored.size()), row.stored);
        QCOMPARE(QString::fromStdString(f.console.sysparams.text()), QString::fromStdString(file));
        QVERIFY(f.ui.messages.empty());
    }

    void readDropsWhatWasNotSaved() {
        ConsoleFixture f;
        Ssetup& window = f.windows.show<Ssetup>();
        type(window, "combaud", "2400");
        click(window, "loadparam");
        QCOMPARE(text(window, "combaud"), QString("057600"));
    }

    void comPortHelpExplainsPortNumbers() {
        ConsoleFixture f;
        click(f.windows.show<Ssetup>(), "Cominfo");
        QCOMPARE(f.ui.messages.size(), size_t(1));
        const std::string& help = f.ui.messages.front();
        QVERIFY(help.starts_with("With PKivo Version 2.01, Serial ports can be selected "));
        QVERIFY(help.find("Advanced Tab.\n\nOn this computer, port n is the device that "
                          "~/.config/pkivo/dosdevices/com<n> links to") != std::string::npos);
    }

    void reconnectUsesTheSettingsInMemory() {
        ConsoleFixture f;
        Kivocon& main = f.windows.show<Kivocon>();
        Ssetup& window = f.windows.show<Ssetup>();
        // Edited but not saved: port 07 still searches from port 1 at 57600 baud.
        type(window, "comport", "07");
        type(window, "combaud", "2400");
        f.port.setOpenablePorts({1});
        expectExchange(f.port, std::string(packet::versionRequest),
                       longReply("R02", "Version 3.07 KV8"), 40ms, 10ms);
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
};

QTEST_MAIN(SsetupTest)
#include "test_ssetup.moc"
