// The Board Parameters window, used as a user would against a scripted controller: Get on
// load decodes the block into the controls, Store writes the shown fields over the block as
// read, Reload asks for the EEPROM copy, and the buttons follow each outcome. A Get that got
// no proper reply, a Store before any Get and a box out of range send nothing.
#include "consolefixture.h"
#include "refusal.h"
#include "ui/parametercon.h"

#include <QCheckBox>
#include <QRadioButton>

using namespace pkivo;
using namespace pkivo::test;

namespace {

const std::string readRequest = "$OV0R1R000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const std::string reloadRequest =
    "$OV0R1C000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const std::string reloadReply = "OV0R1C00000" + std::string(32, 'D') + "DDDDxxx000x000000x0H~";
// Flags 0B, run 05, I/O 01, rate 14, pulses 05DC and 09C4, servos 81.
const std::string readReply = "OV0R1R000000B0500000100001405DC09C481000000DDDDxxx000x000000x0H~";
// Every bit the window does not show is set, and digits 5-8, 11-14 and 27-32 are odd ones.
const std::string hiddenBitsReply =
    "OV0R1R00000FBF7ABCDFF12342C0000FFFF009A9B9CDDDDxxx000x000000x0H~";

// responce|Get Store Reload enabled|rate|min|max|servos 1-8|limits, report off, storage
// Other, run on hw, pb, pu, I/O 1: as the window shows them, boxes as '1' and '0'.
QString state(QWidget& window) {
    QString buttons, servos, flags;
    for (const char* name : {"GparamX", "StoreparamX", "recon"}) {
        buttons += child<QPushButton>(window, name)->isEnabled() ? '1' : '0';
    }
    for (int k = 0; k < 8; ++k) {
        const QString box = QString("Servos1_%1").arg(k);
        servos += child<QCheckBox>(window, qPrintable(box))->isChecked() ? '1' : '0';
    }
    for (const char* name :
         {"uselimits", "reportoff", "modeother", "Runonhw", "Runonpb", "Runonpu", "iocon1"}) {
        flags += child<QAbstractButton>(window, name)->isChecked() ? '1' : '0';
    }
    return QString("%1|%2|%3|%4|%5|%6|%7")
        .arg(text(window, "responce"), buttons, text(window, "reportrate"),
             text(window, "minpulse"), text(window, "maxpulse"), servos, flags);
}

// docomax's exchange, its reply after 30 ms; no reply: none of its three attempts answered.
void answerGet(ConsoleFixture& f, const std::string& request, const std::string& reply) {
    expectReplyOrNone(f.port, request, reply, 3, 30ms);
}

} // namespace

class ParameterconTest : public QObject {
    Q_OBJECT
private slots:
    // A failed Get leaves the design-time zeros and Store off: nothing of what came back, or
    // of the request left in `packet`, is taken for a block.
    void getIsGoodOnlyWithAFramedReplyCarryingCodeZero_data() {
        QTest::addColumn<QString>("reply"); // empty: nothing answers
        QTest::addColumn<QString>("shown"); // as state() puts it
        const QString untouched = "|100|0|0|0|00000000|0100000";
        // Flags 0B: limits on, report off, storage 3 shown as Other; run 05; I/O 01.
        QTest::newRow("a block") << QString::fromStdString(readReply)
                                 << "0 No errors|111|20|1500|2500|10000001|1111011";
        QTest::newRow("nothing answered") << QString() << "Z Unable to connect" + untouched;
    }
    void getIsGoodOnlyWithAFramedReplyCarryingCodeZero() {
        QFETCH(QString, reply);
        QFETCH(QString, shown);
        ConsoleFixture f;
        answerGet(f, readRequest, reply.toStdString());
        Parametercon& window = f.windows.show<Parametercon>();
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(state(window), shown);
        if (QTest::currentDataTag() == QString("a block")) {
            QCOMPARE(text(window, "Responce1"), reply);
        }
    }

    void storeWritesShownFieldsOverTheBlockAsRead() {
        ConsoleFixture f;
        answerGet(f, readRequest, hiddenBitsReply);
        Parametercon& window = f.windows.show<Parametercon>();
        for (const char* name : {"uselimits", "Runonhw", "iocon1"}) {
            child<QCheckBox>(window, name)->setChecked(false);
        }
        for (const char* name : {"reporton", "modecommon", "Servos1_2"}) {
            child<QAbstractButton>(window, name)->setChecked(true);
        }
        for (auto [box, typed] :
             {std::pair{"reportrate", "255"}, {"minpulse", "1500"}, {"maxpulse", "2500"}}) {
            child<QLineEdit>(window, box)->setText(typed);
        }
        const std::string storeReply =
            "OV0R1W00000F5F3ABCDFE1234FF05DC09C4049A9B9CDDDDxxx000x000000x0H~";
        answerGet(f, "$OV0R1W00000F5F3ABCDFE1234FF05DC09C4049A9B9CDDDDxxxxxxxxxxxxxx0H~",
                  storeReply);
        click(window, "StoreparamX");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "Responce1"), QString::fromStdString(storeReply));
        QCOMPARE(state(window).section('|', 1, 1), QString("111"));
    }

    void storeAndReloadSetTheButtons() {
        ConsoleFixture f;
        answerGet(f, readRequest, readReply);
        Parametercon& window = f.windows.show<Parametercon>();
        // A Store the controller does not answer: Get only.
        expectAttended(f.port, "$OV0R1W000000B0500000100001405DC09C481000000DDDDxxxxxxxxxxxxxx0H~");
        click(window, "StoreparamX");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "Responce1"), QString("Error - No Data Written"));
        QCOMPARE(state(window).section('|', 0, 3), QString("0 No errors|100|20|1500"));
        answerGet(f, readRequest, readReply);
        click(window, "GparamX");
        // Reload answered: the controls stay as they were.
        child<QLineEdit>(window, "minpulse")->setText("7");
        answerGet(f, reloadRequest, reloadReply);
        click(window, "recon");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(text(window, "Responce1"), QString::fromStdString(reloadReply));
        QCOMPARE(state(window).section('|', 0, 3), QString("0 No errors|111|20|7"));
        // Reload unanswered: Get and Reload.
        expectUnanswered(f.port, 3); // docomax's three attempts
        click(window, "recon");
        QCOMPARE(state(window).section('|', 0, 1), QString("Z Unable to connect|101"));
    }

    // A window opened while another exchange holds the link gets no block; a good Reload then
    // enables Store, but with no block read there is nothing to keep the hidden bits from:
    // Store says so and sends nothing.
    void storeIsRefusedUntilAGetSucceeded() {
        ConsoleFixture f;
        Parametercon* opened = nullptr;
        f.port.expect("&");
        f.time.after(500ms, [&] { opened = &f.windows.show<Parametercon>(); });
        f.console.link.rawsender();
        Parametercon& window = *opened;
        QCOMPARE(state(window).section('|', 0, 1),
                 QString("The link is busy with another exchange: try again|101"));
        answerGet(f, reloadRequest, reloadReply);
        click(window, "recon");
        QCOMPARE(state(window).section('|', 1, 1), QString("111"));
        const size_t written = f.port.writes().size();
        click(window, "StoreparamX");
        QCOMPARE(f.port.writes().size(), written);
        QVERIFY(text(window, "responce").startsWith("Not stored: press Get Parameters first"));
    }

    // One row per box; which texts are numbers is wholeNumber's, tested with it.
    void boxesOutOfRangeAreRefusedWhereTyped_data() {
        QTest::addColumn<Refusal>("row");
        const QString rate = "A whole number 0-255", pulse = "Whole numbers 0-65535";
        QTest::newRow("report rate 300")
            << Refusal{"reportrate", "300", "StoreparamX", "reportrateError", rate};
        QTest::newRow("minimum 65536")
            << Refusal{"minpulse", "65536", "StoreparamX", "pulseError", pulse};
        QTest::newRow("maximum negative")
            << Refusal{"maxpulse", "-1", "StoreparamX", "pulseError", pulse};
    }
    void boxesOutOfRangeAreRefusedWhereTyped() {
        QFETCH(Refusal, row);
        ConsoleFixture f;
        answerGet(f, readRequest, readReply);
        verifyRefusal(f.windows.show<Parametercon>(), f.port, row, "7");
    }

    // The menu entry chosen again while the first Get waits finds the window: one window, one
    // Get.
    void openedAgainWhileItsGetWaitsIsTheSameWindow() {
        ConsoleFixture f;
        expectUnanswered(f.port, 3);
        Parametercon* again = nullptr;
        f.time.after(500ms, [&] { again = &f.windows.show<Parametercon>(); });
        Parametercon& window = f.windows.show<Parametercon>();
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(again, &window);
    }
};

QTEST_MAIN(ParameterconTest)
#include "test_parametercon.moc"
