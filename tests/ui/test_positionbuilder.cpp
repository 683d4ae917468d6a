// The Position Manager used as a user would, against the virtual controller or a scripted one:
// jogs held and ended every way a jog ends, a set round trip, what failures and refusals leave.
#include "consolefixture.h"
#include "refusal.h"
#include "simfixture.h"
#include "ui/positionbuilder.h"

#include <QCheckBox>
#include <QCoreApplication>

using namespace pkivo;
using namespace pkivo::test;
using namespace std::chrono_literals;

namespace {

// The virtual controller, paced at 57600 baud or not, silent or answering.
struct Sim : SimFixture {
    explicit Sim(bool pace, bool silent = false)
        : SimFixture({pace, 57600, {silent, 0, 0, {}, 0, false, {}, 0}}) {
        window.show();
    }
    int steps() const { return line.protocol.counters().shortPackets; }
    int attentions() const { return line.protocol.counters().attentions; }
    void settle() {
        for (int last = -1, n = 0; attentions() != last && n < 10000; ++n) {
            last = attentions();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
    }

    Positionbuilder window{console};
};

const char* const boxes[] = {"S1edat", "S2edat", "s3edat", "S4edat",
                             "S5edat", "S6edat", "S7edat", "S8edat"};

enum class End { Release, Leave, FocusLoss, Close };
struct JogRow {
    const char* button;
    int servo, delta;
    End end;
};

} // namespace

Q_DECLARE_METATYPE(JogRow)

class PositionbuilderTest : public QObject {
    Q_OBJECT
private slots:
    void jogRunsWhileHeldAndNoStepFollowsItsEnd_data() {
        QTest::addColumn<JogRow>("row");
        QTest::newRow("posup released") << JogRow{"posup_2", 3, 1, End::Release};
        QTest::newRow("bigdn released") << JogRow{"bigdn_7", 8, -10, End::Release};
        QTest::newRow("pointer leaves") << JogRow{"posdown_0", 1, -1, End::Leave};
        QTest::newRow("focus lost") << JogRow{"bigup_4", 5, 10, End::FocusLoss};
        QTest::newRow("window closed") << JogRow{"posup_1", 2, 1, End::Close};
    }
    void jogRunsWhileHeldAndNoStepFollowsItsEnd() {
        QFETCH(JogRow, row);
        Sim s(true);
        auto* button = child<QPushButton>(s.window, row.button);
        s.line.time.at(100ms, [&] {
            QEvent leave(QEvent::Leave), deactivate(QEvent::WindowDeactivate);
            switch (row.end) {
            case End::Release:
                return QTest::mouseRelease(button, Qt::LeftButton);
            case End::Leave:
                return void(QCoreApplication::sendEvent(button, &leave));
            case End::FocusLoss:
                return void(QCoreApplication::sendEvent(&s.window, &deactivate));
            case End::Close:
                return void(s.window.close());
            }
        });
        QTest::mousePress(button, Qt::LeftButton);
        s.settle();
        const int steps = s.steps();
        QVERIFY2(steps > 10, qPrintable(QString::number(steps)));
        const uint16_t at = s.line.machine.servos().position(row.servo);
        QCOMPARE(int(at), 1500 + row.delta * steps);
        QCOMPARE(text(s.window, boxes[row.servo - 1]), QString::number(at));
        s.line.time.runUntil(s.line.time.now() + 1000ms);
        s.settle();
        QCOMPARE(s.steps(), steps);
    }

    // A second button pressed while a jog runs starts nothing; a press while another exchange
    // holds the link sends nothing and leaves no jog behind to step once the link is free.
    void oneJogAtATimeAndNoStepWhileTheLinkIsBusy() {
        Sim s(true);
        auto* first = child<QPushButton>(s.window, "posup_0");
        s.line.time.at(50ms, [&] {
            QTest::mousePress(child<QPushButton>(s.window, "posdown_1"), Qt::LeftButton);
        });
        s.line.time.at(100ms, [&] { QTest::mouseRelease(first, Qt::LeftButton); });
        QTest::mousePress(first, Qt::LeftButton);
        s.settle();
        QCOMPARE(int(s.line.machine.servos().position(1)), 1500 + s.steps());
        QCOMPARE(int(s.line.machine.servos().position(2)), 1500);

        ConsoleFixture f;
        auto& window = f.windows.show<Positionbuilder>();
        expectUnanswered(f.port);
        f.time.after(500ms, [&] {
            QTest::mousePress(child<QPushButton>(window, "posup_0"), Qt::LeftButton);
        });
        f.console.link.rawsender();
        QCoreApplication::processEvents();
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "responce").left(2), QString("B "));
    }

    // Three failed steps in a row end a held jog and say why; no box changes.
    void jogEndsAfterThreeFailedSteps() {
        Sim s(false, true);
        QTest::mousePress(child<QPushButton>(s.window, "posup_0"), Qt::LeftButton);
        s.settle();
        QCOMPARE(s.attentions(), 3 * 4);
        QCOMPARE(text(s.window, "responce"),
                 QString("Error: the jog stopped after 3 failed steps (Z Unable to connect)"));
        QCOMPARE(text(s.window, "S1edat"), QString("65535"));
    }

    // Put, Get back, Move to position, Get Current into the checked box only, an output on.
    void setPutReadMovedToAndCopiedFromTheServos() {
        Sim s(false);
        const QStringList set{"1000", "1200", "65535", "65535", "800", "65535", "65535", "2000"};
        type(s.window, "Text2", "20");
        for (int k = 0; k < 8; ++k) {
            type(s.window, boxes[k], set[k]);
        }
        click(s.window, "Command1");
        QVERIFY(text(s.window, "responce").startsWith("OV0R19"));
        for (const char* box : boxes) {
            type(s.window, box, "1");
        }
        click(s.window, "moveto");
        QCOMPARE(texts(s.window, {"S2edat", "s3edat"}), QString("01200|65535"));
        QCOMPARE(s.line.machine.servos().position(2), uint16_t(1200));
        QCOMPARE(s.line.machine.servos().position(3), uint16_t(1500));
        child<QCheckBox>(s.window, "Use1_2")->setChecked(true);
        type(s.window, "S2edat", "7");
        click(s.window, "getcur");
        QCOMPARE(texts(s.window, {"S2edat", "s3edat"}), QString("7|1500"));
        type(s.window, "Outnumber", "12");
        click(s.window, "oncon");
        QCOMPARE(s.line.machine.io().outputs[12], uint8_t(1));
    }

    // A Get that fails leaves every box and says why; Move to position then sends no move.
    void failedGetKeepsTheBoxesAndMovesNothing() {
        ConsoleFixture f;
        auto& window = f.windows.show<Positionbuilder>();
        type(window, "S1edat", "1234");
        for (int n = 0; n < 2; ++n) {
            expectAttended(f.port,
                           "$OV0R18002710xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~");
        }
        click(window, "Command2");
        QCOMPARE(texts(window, {"S1edat", "S8edat"}), QString("1234|65535"));
        QCOMPARE(text(window, "responce"), QString("Z Unable to connect"));
        click(window, "moveto");
        PKIVO_VERIFY_SCRIPT(f.port);
    }

    void refusedInputIsMarkedAndNothingSent_data() {
        QTest::addColumn<Refusal>("row");
        const QString positions = "Enter a number from 0 to 65535";
        const QString lines = "Enter a line from 0 to 32000";
        QTest::newRow("abc") << Refusal{"S1edat", "abc", "Command1", "positionsReason", positions};
        QTest::newRow("1234567") << Refusal{"s3edat", "1234567", "Command1", "positionsReason",
                                            positions};
        QTest::newRow("65536") << Refusal{"S8edat", "65536", "Command1", "positionsReason",
                                          positions};
        QTest::newRow("line 32001") << Refusal{"Text2", "32001", "Command2", "Text2Reason", lines};
        QTest::newRow("line 12a") << Refusal{"Text2", "12a", "getcur", "Text2Reason", lines};
        QTest::newRow("output 256") << Refusal{"Outnumber", "256", "oncon", "OutnumberReason",
                                               "Enter a number from 0 to 255"};
    }
    // Bump & move at the top line and Dec & move at line 0 would step outside 0-32000.
    void bumpAndDecStayWithinTheLines() {
        ConsoleFixture f;
        auto& window = f.windows.show<Positionbuilder>();
        for (auto [line, button] : {std::pair{"32000", "Bumpmove"}, {"0", "decmove"}}) {
            type(window, "Text2", line);
            click(window, button);
            QCOMPARE(text(window, "Text2Reason"), QString("The line stays within 0 to 32000"));
        }
        PKIVO_VERIFY_SCRIPT(f.port);
    }

    void refusedInputIsMarkedAndNothingSent() {
        QFETCH(Refusal, row);
        ConsoleFixture f;
        verifyRefusal(f.windows.show<Positionbuilder>(), f.port, row, "20");
    }
};

QTEST_MAIN(PositionbuilderTest)
#include "test_positionbuilder.moc"
