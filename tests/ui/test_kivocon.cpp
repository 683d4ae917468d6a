// The main window, clicked as a user would: start-up, the run controls' packets, the status
// group, the menus and shut-down. The controller at the other end is scripted.
#include "console/linekeeper.h"
#include "consolefixture.h"
#include "platform/virtual/virtualticker.h"
#include "ui/kivocon.h"

#include <QAction>
#include <QApplication>

using namespace pkivo;
using namespace pkivo::test;

namespace {

// The generic template with `code` at 4-6 and, when given, `line` at 7-12: written out in full
// so that the test does not lean on the code that builds it.
std::string runPacket(const char* code, const char* line = "SSSSxx") {
    return std::string("OV0") + code + line + "xxx" + std::string(32, 'D') + "xxxxxxxxxxxxxx0H~";
}

std::string statusRecord(const char* position, const char* mode) {
    return std::string("AB") + position + "0002" + "0001" + mode + "00" + "000010";
}

// position|stack|loop|line|run mode|notification, as the status group shows them
QString statusGroup(QWidget& window) {
    return texts(window, {"Label4", "Label5", "Label6", "currentline", "Runstop", "notifications"});
}

} // namespace

class KivoconTest : public QObject {
    Q_OBJECT
private slots:
    // The board says so while the line is lost; the menu switch turns that off for good.
    void reconnectSwitchIsKeptAndTheBoardSaysReconnecting() {
        ConsoleFixture f;
        VirtualTicker ticker(f.time);
        LineKeeper keeper(f.console.link, f.time, ticker, [&] { return f.console.portSettings(); });
        f.windows.provide(keeper);
        Kivocon& window = f.windows.show<Kivocon>();
        f.port.loseLineAt(10ms);
        f.time.runUntil(20ms);
        QCOMPARE(text(window, "BoardData1"), QString("Reconnecting\u2026"));
        child<QAction>(window, "reconnectY")->trigger();
        QCOMPARE(text(window, "BoardData1"), QString(" Unknown"));
        QVERIFY(!loadReconnectChoice());
    }

    void startUpWithoutAControllerSaysSo() {
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

    // Run and Run at line start the monitor, which shows the record and gives up 6 s after it;
    // "Monitor status" only listens. The line box holds the last line a packet can carry.
    void runControlsSendTheirPackets_data() {    // named after the button
        QTest::addColumn<std::string>("packet"); // empty: nothing is sent
        QTest::addColumn<bool>("monitors");
        QTest::newRow("Run") << runPacket("R05", "000000") << true;
        QTest::newRow("Runatline") << runPacket("R05", "FFFFFF") << true;
        QTest::newRow("pauseit") << runPacket("R07") << false;
        QTest::newRow("stopall") << runPacket("R00") << false;
        QTest::newRow("Monitor") << std::string() << true;
    }
    void runControlsSendTheirPackets() {
        QFETCH(std::string, packet);
        QFETCH(bool, monitors);
        ConsoleFixture f;
        if (!packet.empty()) {
            expectAttended(f.port, "$" + packet, 10ms);
        }
        f.port.arriveAt(500ms, statusRecord("0014", "30"));
        Kivocon& window = f.windows.show<Kivocon>();
        const QString before = statusGroup(window);
        child<QLineEdit>(window, "linetorun")->setText("16777215");
        click(window, QTest::currentDataTag());
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(statusGroup(window), monitors ? "20|2|1|15|Paused|0 - No errors" : before);
        QCOMPARE(f.time.now(), monitors ? 6500ms : 10ms);
    }

    void failedRunCommandStaysShownUntilOneGetsThrough() {
        ConsoleFixture f;
        Kivocon& window = f.windows.show<Kivocon>();
        window.show();
        auto click = [&](const char* button, bool answered) {
            if (answered) {
                f.port.expect("&").answer(":", 10ms);
                f.port.expectAny();
            } else {
                expectUnanswered(f.port);
            }
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

    void runAtLineRefusesWhatIsNotALine() {
        ConsoleFixture f;
        Kivocon& window = f.windows.show<Kivocon>();
        QLineEdit* linetorun = child<QLineEdit>(window, "linetorun");
        linetorun->setText("16777216");
        click(window, "Runatline");
        QVERIFY(f.port.writes().empty());
        QCOMPARE(text(window, "linetorunError"),
                 QString("Enter a whole line number from 0 to 16777215"));
        linetorun->selectAll();
        QTest::keyClick(linetorun, Qt::Key_5);
        QCOMPARE(text(window, "linetorunError"), QString()); // typing clears the refusal
    }

    void menusOpenEachWindowOnce_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("caption");
        QTest::newRow("converter") << QString("filegobblery") << "Kivo Converter & Downloader";
        QTest::newRow("about") << QString("About") << "About PKivo";
        QTest::newRow("release notes") << QString("relnotes") << "Release Notes";
        QTest::newRow("system setup") << QString("ssetupY") << "System setup";
        QTest::newRow("memory editor") << QString("MemoryeditorY") << "Memory Editor";
        QTest::newRow("long command sender") << QString("sendinstY") << "Long Command Sender";
        QTest::newRow("short command sender") << QString("sendinstX") << "Short Command Sender";
        QTest::newRow("board setup") << QString("parameterconY") << "Board Parameters";
        QTest::newRow("flash tools") << QString("binsendY") << "Flash memory utility";
        QTest::newRow("position manager") << QString("posbuild") << "Position Manager";
        QTest::newRow("instruction editor") << QString("insbuild") << "Edit Instruction Element";
        QTest::newRow("packed editor")
            << QString("pinsbuild") << "Packed Instruction & Move Editor";
        QTest::newRow("speed editor") << QString("speedbuilderY") << "Speed Editor";
    }

    void menusOpenEachWindowOnce() {
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

    // Closing the window closes the port, and ends a port search under way at start-up.
    void closingTheWindowClosesThePort_data() {
        QTest::addColumn<bool>("searching");
        QTest::newRow("idle") << false;
        QTest::newRow("during the port search") << true;
    }
    void closingTheWindowClosesThePort() {
        QFETCH(bool, searching);
        ConsoleFixture f;
        Kivocon& window = f.windows.show<Kivocon>();
        QVERIFY(f.port.isOpen());
        if (!searching) {
            window.close();
        } else {
            f.port.expect("&"); // port 1 opens and stays silent
            f.time.at(100ms, [&] { window.close(); });
            window.startUp();
            QCOMPARE(f.time.now(), 100ms);
            // The fixture's own open, then the search's port 1: no further port is tried.
            QCOMPARE(f.port.openedPorts(), (std::vector<int>{1, 1}));
        }
        QVERIFY(!f.port.isOpen());
        QVERIFY(f.ui.messages.empty());
    }
};

QTEST_MAIN(KivoconTest)
#include "test_kivocon.moc"
