// The Board Parameters window, used as a user would against a scripted controller: Get on
// load decodes the block into the controls, Store writes the shown fields over the block as
// read, Reload asks for the EEPROM copy, and the buttons follow each outcome. A Get that got
// no proper reply, a Store before any Get and a box out of range send nothing.
#include "consolefixture.h"
#include "controls.h"
#include "scriptedlink.h"
#include "ui/parametercon.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

const std::string readRequest = "$OV0R1R000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
const std::string reloadRequest =
    "$OV0R1C000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~";
// Flags 0B, run 05, I/O 01, rate 14, pulses 05DC and 09C4, servos 81.
const std::string readReply = "OV0R1R000000B0500000100001405DC09C481000000DDDDxxx000x000000x0H~";
// Every bit the window does not show is set, and digits 5-8, 11-14 and 27-32 are odd ones.
const std::string hiddenBitsReply =
    "OV0R1R00000FBF7ABCDFF12342C0000FFFF009A9B9CDDDDxxx000x000000x0H~";

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

bool checked(QWidget& window, const char* name) {
    return child<QAbstractButton>(window, name)->isChecked();
}

QString buttons(QWidget& window) {
    QString states;
    for (const char* name : {"GparamX", "StoreparamX", "recon"}) {
        states += child<QPushButton>(window, name)->isEnabled() ? '1' : '0';
    }
    return states;
}

void answerGet(ConsoleFixture& f, const std::string& request, const std::string& reply) {
    f.port.expect("&").answer(":", 5ms);
    f.port.expect(request).answer(reply, 30ms);
}

// docomax's three attempts, none answered.
void noAnswer(ConsoleFixture& f) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        f.port.expect("&");
    }
}

} // namespace

class ParameterconTest : public QObject {
    Q_OBJECT
private slots:
    void loadGetsTheBlockIntoTheControls();
    void storeWritesShownFieldsOverTheBlockAsRead();
    void getIsGoodOnlyWithAFramedReplyCarryingCodeZero_data();
    void getIsGoodOnlyWithAFramedReplyCarryingCodeZero();
    void storeAndReloadSetTheButtons();
    void storeIsRefusedUntilAGetSucceeded();
    void openedAgainWhileItsGetWaitsIsTheSameWindow();
    void boxesOutOfRangeAreRefusedWhereTyped_data();
    void boxesOutOfRangeAreRefusedWhereTyped();
};

void ParameterconTest::loadGetsTheBlockIntoTheControls() {
    ConsoleFixture f;
    answerGet(f, readRequest, readReply);
    Parametercon& window = f.windows.show<Parametercon>();
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(window.windowTitle(), QString("Board Parameters"));
    QCOMPARE(text(window, "responce"), QString("0 No errors"));
    QCOMPARE(text(window, "Responce1"), QString::fromStdString(readReply));
    QCOMPARE(buttons(window), QString("111"));
    QCOMPARE(text(window, "reportrate"), QString("20"));
    QCOMPARE(text(window, "minpulse"), QString("1500"));
    QCOMPARE(text(window, "maxpulse"), QString("2500"));
    QString servos;
    for (int k = 0; k < 8; ++k) {
        servos += checked(window, qPrintable(QString("Servos1_%1").arg(k))) ? '1' : '0';
    }
    QCOMPARE(servos, QString("10000001"));
    QCOMPARE(child<QCheckBox>(window, "Servos1_7")->text(), QString("Servo8"));
    // Flags 0B: limits on, report off, storage 3 shown as Other.
    QVERIFY(checked(window, "uselimits"));
    QVERIFY(checked(window, "reportoff"));
    QVERIFY(checked(window, "modeother"));
    QVERIFY(checked(window, "Runonhw") && !checked(window, "Runonpb") &&
            checked(window, "Runonpu"));
    QVERIFY(checked(window, "iocon1"));
}

void ParameterconTest::storeWritesShownFieldsOverTheBlockAsRead() {
    ConsoleFixture f;
    answerGet(f, readRequest, hiddenBitsReply);
    Parametercon& window = f.windows.show<Parametercon>();
    child<QCheckBox>(window, "uselimits")->setChecked(false);
    child<QRadioButton>(window, "reporton")->setChecked(true);
    child<QRadioButton>(window, "modecommon")->setChecked(true);
    child<QCheckBox>(window, "Runonhw")->setChecked(false);
    child<QCheckBox>(window, "iocon1")->setChecked(false);
    child<QCheckBox>(window, "Servos1_2")->setChecked(true);
    child<QLineEdit>(window, "reportrate")->setText("255");
    child<QLineEdit>(window, "minpulse")->setText("1500");
    child<QLineEdit>(window, "maxpulse")->setText("2500");
    const std::string storeReply =
        "OV0R1W00000F5F3ABCDFE1234FF05DC09C4049A9B9CDDDDxxx000x000000x0H~";
    f.port.expect("&").answer(":", 5ms);
    f.port.expect("$OV0R1W00000F5F3ABCDFE1234FF05DC09C4049A9B9CDDDDxxxxxxxxxxxxxx0H~")
        .answer(storeReply, 30ms);
    click(window, "StoreparamX");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "Responce1"), QString::fromStdString(storeReply));
    QCOMPARE(buttons(window), QString("111"));
}

void ParameterconTest::getIsGoodOnlyWithAFramedReplyCarryingCodeZero_data() {
    QTest::addColumn<QString>("reply"); // empty: nothing answers
    QTest::addColumn<QString>("status");
    QTest::newRow("nothing answered") << QString() << "Z Unable to connect";
    QTest::newRow("64 characters, not a reply") << QString(61, 'D') + "0H~"
                                                << "Z Unable to connect";
    QTest::newRow("the controller refused")
        << "OV0R1R00000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFDDDDxxx000x000000x1H~"
        << "1 System received invalid packet";
}

// The controls keep the design-time zeros and Store stays off: nothing of what came back, or
// of the request left in `packet`, is taken for a block.
void ParameterconTest::getIsGoodOnlyWithAFramedReplyCarryingCodeZero() {
    QFETCH(QString, reply);
    QFETCH(QString, status);
    ConsoleFixture f;
    if (reply.isEmpty()) {
        noAnswer(f);
    } else {
        answerGet(f, readRequest, reply.toStdString());
    }
    Parametercon& window = f.windows.show<Parametercon>();
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "responce"), status);
    QCOMPARE(buttons(window), QString("100"));
    QCOMPARE(text(window, "minpulse"), QString("0"));
    QVERIFY(!checked(window, "Servos1_0"));
}

void ParameterconTest::storeAndReloadSetTheButtons() {
    ConsoleFixture f;
    answerGet(f, readRequest, readReply);
    Parametercon& window = f.windows.show<Parametercon>();
    // A Store the controller does not answer: Get only.
    f.port.expect("&").answer(":", 5ms);
    f.port.expect("$OV0R1W000000B0500000100001405DC09C481000000DDDDxxxxxxxxxxxxxx0H~");
    click(window, "StoreparamX");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "Responce1"), QString("Error - No Data Written"));
    QCOMPARE(buttons(window), QString("100"));
    QCOMPARE(text(window, "responce"), QString("0 No errors"));
    answerGet(f, readRequest, readReply);
    click(window, "GparamX");
    QCOMPARE(buttons(window), QString("111"));
    // Reload answered: the controls stay as they were.
    child<QLineEdit>(window, "minpulse")->setText("7");
    const std::string reloaded = "OV0R1C00000" + std::string(32, 'D') + "DDDDxxx000x000000x0H~";
    answerGet(f, reloadRequest, reloaded);
    click(window, "recon");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "responce"), QString("0 No errors"));
    QCOMPARE(text(window, "Responce1"), QString::fromStdString(reloaded));
    QCOMPARE(text(window, "minpulse"), QString("7"));
    QCOMPARE(buttons(window), QString("111"));
    // Reload unanswered: Get and Reload.
    noAnswer(f);
    click(window, "recon");
    QCOMPARE(text(window, "responce"), QString("Z Unable to connect"));
    QCOMPARE(buttons(window), QString("101"));
}

// A window opened while another exchange holds the link gets no block; a good Reload then
// enables Store, but with no block read there is nothing to keep the hidden bits from: Store
// says so and sends nothing.
void ParameterconTest::storeIsRefusedUntilAGetSucceeded() {
    ConsoleFixture f;
    Parametercon* opened = nullptr;
    f.port.expect("&");
    f.time.after(500ms, [&] { opened = &f.windows.show<Parametercon>(); });
    f.console.link.rawsender();
    Parametercon& window = *opened;
    QCOMPARE(text(window, "responce"),
             QString("The link is busy with another exchange: try again"));
    QCOMPARE(buttons(window), QString("101"));
    answerGet(f, reloadRequest, "OV0R1C00000" + std::string(32, 'D') + "DDDDxxx000x000000x0H~");
    click(window, "recon");
    QCOMPARE(buttons(window), QString("111"));
    const size_t written = f.port.writes().size();
    click(window, "StoreparamX");
    QCOMPARE(f.port.writes().size(), written);
    QVERIFY(text(window, "responce").startsWith("Not stored: press Get Parameters first"));
}

void ParameterconTest::boxesOutOfRangeAreRefusedWhereTyped_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("errorLabel");
    QTest::addColumn<QString>("reason");
    QTest::newRow("report rate 300") << "reportrate"
                                     << "300"
                                     << "reportrateError"
                                     << "A whole number 0-255";
    QTest::newRow("report rate not a number") << "reportrate"
                                              << "fast"
                                              << "reportrateError"
                                              << "A whole number 0-255";
    QTest::newRow("minimum 65536") << "minpulse"
                                   << "65536"
                                   << "pulseError"
                                   << "Whole numbers 0-65535";
    QTest::newRow("maximum negative") << "maxpulse"
                                      << "-1"
                                      << "pulseError"
                                      << "Whole numbers 0-65535";
}

void ParameterconTest::boxesOutOfRangeAreRefusedWhereTyped() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, errorLabel);
    QFETCH(QString, reason);
    ConsoleFixture f;
    answerGet(f, readRequest, readReply);
    Parametercon& window = f.windows.show<Parametercon>();
    QLineEdit* edit = child<QLineEdit>(window, qPrintable(box));
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QCOMPARE(text(window, qPrintable(errorLabel)), reason);
    const size_t written = f.port.writes().size();
    click(window, "StoreparamX");
    QCOMPARE(f.port.writes().size(), written);
    QVERIFY(!edit->styleSheet().isEmpty());
    // Typing a good value again lifts the mark.
    edit->selectAll();
    QTest::keyClicks(edit, "7");
    QCOMPARE(text(window, qPrintable(errorLabel)), QString());
    QVERIFY(edit->styleSheet().isEmpty());
}

// The menu entry chosen again while the first Get waits finds the window: one window, one Get.
void ParameterconTest::openedAgainWhileItsGetWaitsIsTheSameWindow() {
    ConsoleFixture f;
    for (int attempt = 0; attempt < 3; ++attempt) {
        f.port.expect("&");
    }
    Parametercon* again = nullptr;
    f.time.after(500ms, [&] { again = &f.windows.show<Parametercon>(); });
    Parametercon& window = f.windows.show<Parametercon>();
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(again, &window);
}

QTEST_MAIN(ParameterconTest)
#include "test_parametercon.moc"
