// The main window, clicked as a user would: start-up, the run controls' packets, the status
// group, the menus and shut-down. The controller at the other end is scripted.
#include "ui/kivocon.h"
#include "consolefixture.h"
#include "controls.h"
#include "link/packetlayout.h"
#include "scriptedlink.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

std::string versionReply() { return longReply("R02", "Version 3.07 KV8"); }

// The generic template with `code` at 4-6 and, when given, `line` at 7-12: written out in full
// so that the test does not lean on the code that builds it.
std::string runPacket(const char* code, const char* line = "SSSSxx") {
    return std::string("OV0") + code + line + "xxx" + std::string(32, 'D') + "xxxxxxxxxxxxxx0H~";
}

std::string statusRecord(const char* position, const char* mode) {
    return std::string("AB") + position + "0002" + "0001" + mode + "00" + "000010";
}

} // namespace

class KivoconTest : public QObject {
    Q_OBJECT
private slots:
    void startUpShowsTheController();
    void startUpWithoutAControllerSaysSo();
    void runControlsSendTheirPackets_data();
    void runControlsSendTheirPackets();
    void failedRunCommandStaysShownUntilOneGetsThrough();
    void runAtLineRefusesWhatIsNotALine_data();
    void runAtLineRefusesWhatIsNotALine();
    void statusRecordsFillTheStatusGroup();
    void menusOpenEachWindowOnce_data();
    void menusOpenEachWindowOnce();
    void closingTheWindowClosesThePort();
    void closingDuringThePortSearchEndsIt();
};

void KivoconTest::startUpShowsTheController() {
    ConsoleFixture f;
    f.port.setOpenablePorts({3, 5});
    f.port.expect("&").answer(":", 30ms);
    f.port.expect(std::string(packet::versionRequest)).answer(versionReply(), 40ms);
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    window.startUp();
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "BoardData1"), QString(" Version 3.07    Port: 3"));
    QCOMPARE(text(window, "notifications"), QString("None"));
    QCOMPARE(text(window, "Runstop"), QString("Stopped"));
    QCOMPARE(text(window, "Label4"), QString("00000"));
    QCOMPARE(window.windowTitle(), QString("PKivo Main Control"));
    QVERIFY(f.ui.messages.empty());
}

void KivoconTest::startUpWithoutAControllerSaysSo() {
    ConsoleFixture f;
    f.port.setOpenablePorts({});
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    window.startUp();
    QCOMPARE(f.ui.messages,
             std::vector<std::string>{"Canot open serial port. Check settings in setup"});
    // Nothing answered: the field names no controller.
    QCOMPARE(text(window, "BoardData1"), QString(" Unknown"));
}

void KivoconTest::runControlsSendTheirPackets_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("linetorun");
    QTest::addColumn<QString>("packet");
    QTest::newRow("run") << "Run" << "7" << QString::fromStdString(runPacket("R05", "000000"));
    QTest::newRow("pause") << "pauseit" << "" << QString::fromStdString(runPacket("R07"));
    QTest::newRow("stop") << "stopall" << "" << QString::fromStdString(runPacket("R00"));
    QTest::newRow("run at 0") << "Runatline" << "0" << QString::fromStdString(runPacket("R05", "000000"));
    QTest::newRow("run at 255") << "Runatline" << "255" << QString::fromStdString(runPacket("R05", "0000FF"));
    QTest::newRow("run at 300") << "Runatline" << "300" << QString::fromStdString(runPacket("R05", "00012C"));
    QTest::newRow("run at 10 with spaces") << "Runatline" << " 10 " << QString::fromStdString(runPacket("R05", "00000A"));
    QTest::newRow("run at the last line") << "Runatline" << "16777215" << QString::fromStdString(runPacket("R05", "FFFFFF"));
}

void KivoconTest::runControlsSendTheirPackets() {
    QFETCH(QString, button);
    QFETCH(QString, linetorun);
    QFETCH(QString, packet);
    ConsoleFixture f;
    f.port.expect("&").answer(":", 10ms);
    f.port.expect("$" + packet.toStdString());
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    child<QLineEdit>(window, "linetorun")->setText(linetorun);
    const Millis start = f.time.now();
    QTest::mouseClick(child<QPushButton>(window, button.toLatin1()), Qt::LeftButton);
    PKIVO_VERIFY_SCRIPT(f.port);
    // Run commands start the monitor, which gives up after 6 s without a record.
    const bool runs = button == "Run" || button == "Runatline";
    QCOMPARE((f.time.now() - start).count(), runs ? 6010 : 10);
    QCOMPARE(text(window, "linetorunError"), QString());
}

void KivoconTest::failedRunCommandStaysShownUntilOneGetsThrough() {
    ConsoleFixture f;
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    auto click = [&](const char* button, bool answered) {
        if (!answered) {
            for (int attempt = 0; attempt < 4; ++attempt) {
                f.port.expect("&");
            }
            QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
            return;
        }
        f.port.expect("&").answer(":", 10ms);
        f.port.expectAny();
        QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
    };
    f.g().errcode = "X"; // a stale code of some earlier exchange is not this one's
    click("pauseit", true);
    QCOMPARE(text(window, "runResult"), QString());
    click("stopall", false);
    QCOMPARE(text(window, "runResult"), QString("Stop was not sent: Z Unable to connect"));
    click("pauseit", true);
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "runResult"), QString());
}

void KivoconTest::runAtLineRefusesWhatIsNotALine_data() {
    QTest::addColumn<QString>("linetorun");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("negative") << "-1";
    QTest::newRow("fraction") << "1.5";
    QTest::newRow("hex") << "0x10";
    QTest::newRow("too large") << "16777216";
}

void KivoconTest::runAtLineRefusesWhatIsNotALine() {
    QFETCH(QString, linetorun);
    ConsoleFixture f;
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    child<QLineEdit>(window, "linetorun")->setText(linetorun);
    QTest::mouseClick(child<QPushButton>(window, "Runatline"), Qt::LeftButton);
    QVERIFY(f.port.writes().empty());
    QCOMPARE(text(window, "linetorunError"), QString("Enter a whole line number from 0 to 16777215"));
    child<QLineEdit>(window, "linetorun")->selectAll();
    QTest::keyClick(child<QLineEdit>(window, "linetorun"), Qt::Key_5);
    QCOMPARE(text(window, "linetorunError"), QString()); // typing clears the refusal
}

void KivoconTest::statusRecordsFillTheStatusGroup() {
    ConsoleFixture f;
    f.port.expect("&").answer(":", 10ms);
    f.port.expectAny();
    f.port.arriveAt(500ms, statusRecord("000A", "10"));
    f.port.arriveAt(900ms, statusRecord("0014", "30"));
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    QTest::mouseClick(child<QPushButton>(window, "Run"), Qt::LeftButton);
    QCOMPARE(f.time.now(), 6900ms); // the handler returns 6 s after the last record
    QCOMPARE(text(window, "Label4"), QString("20"));
    QCOMPARE(text(window, "Label5"), QString("2"));
    QCOMPARE(text(window, "Label6"), QString("1"));
    QCOMPARE(text(window, "currentline"), QString("15"));
    QCOMPARE(text(window, "Runstop"), QString("Paused"));
    QCOMPARE(text(window, "notifications"), QString("0 - No errors"));

    // "Monitor status" listens without sending anything.
    f.port.arriveAt(7500ms, statusRecord("0001", "00"));
    QTest::mouseClick(child<QPushButton>(window, "Monitor"), Qt::LeftButton);
    QCOMPARE(text(window, "Runstop"), QString("Stopped"));
    QCOMPARE(f.port.writes().size(), size_t(2));
}

void KivoconTest::menusOpenEachWindowOnce_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("converter") << "filegobblery" << "Kivo Converter & Downloader";
    QTest::newRow("about") << "About" << "About PKivo";
    QTest::newRow("release notes") << "relnotes" << "Release Notes";
}

void KivoconTest::menusOpenEachWindowOnce() {
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    ConsoleFixture f;
    Kivocon& window = f.windows.show<Kivocon>();
    auto shown = [&] {
        std::vector<QWidget*> others;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != &window && w->isVisible()) {
                others.push_back(w);
            }
        }
        return others;
    };
    QAction* action = window.findChild<QAction*>(entry);
    action->trigger();
    QCOMPARE(shown().size(), size_t(1));
    QWidget* opened = shown().front();
    QCOMPARE(opened->windowTitle(), caption);
    QVERIFY(!opened->isModal());
    opened->close();
    QVERIFY(shown().empty());
    action->trigger();
    QCOMPARE(shown(), std::vector<QWidget*>{opened}); // the same window, shown again
}

void KivoconTest::closingTheWindowClosesThePort() {
    ConsoleFixture f;
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    QVERIFY(f.port.isOpen());
    window.close();
    QVERIFY(!f.port.isOpen());
}

void KivoconTest::closingDuringThePortSearchEndsIt() {
    ConsoleFixture f;
    f.port.expect("&"); // port 1 opens and stays silent
    Kivocon& window = f.windows.show<Kivocon>();
    window.show();
    f.time.at(100ms, [&] { window.close(); });
    window.startUp();
    QCOMPARE(f.time.now(), 100ms);
    // The fixture's own open, then the search's port 1: no further port is tried.
    QCOMPARE(f.port.openedPorts(), (std::vector<int>{1, 1}));
    QVERIFY(!f.port.isOpen());
    QVERIFY(f.ui.messages.empty());
}

QTEST_MAIN(KivoconTest)
#include "test_kivocon.moc"
