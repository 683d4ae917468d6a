// The two command senders, clicked as a user would against a scripted controller: what each
// button puts on the wire, byte for byte, the version label, the reply box, and what they show
// when nothing answered or another exchange held the link.
#include "consolefixture.h"
#include "controls.h"
#include "scriptedlink.h"
#include "ui/sendinst.h"
#include "ui/sndshort.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

// docomax's template with the code at 4-6 and the data at 7-11, lead-in included: written out
// in full so that the test does not lean on the code that builds it.
std::string longRequest(const std::string& code, const std::string& data) {
    return "$OV0" + code + data + "0xxx" + std::string(32, 'D') + "xxx000x000000x0H~";
}

QWidget& open(ConsoleFixture& f, const QString& window) {
    if (window == "Sendinst") {
        return f.windows.show<Sendinst>();
    }
    return f.windows.show<Sndshort>();
}

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

QString responce(QWidget& window) {
    return child<QPlainTextEdit>(window, "responce")->toPlainText();
}

const std::string versionReply = longReply("R02", "Version SIM 1");

} // namespace

class SendersTest : public QObject {
    Q_OBJECT
private slots:
    void formsHoldTheirControls_data();
    void formsHoldTheirControls();
    void longCommandsArePaddedAndShowTheReply_data();
    void longCommandsArePaddedAndShowTheReply();
    void shortCommandGoesExactlyAsTyped();
    void loadRestoresTheTemplate();
    void failuresAreShownWithTheirCodeNeverAsAReply_data();
    void failuresAreShownWithTheirCodeNeverAsAReply();
    void aBusyLinkSendsNothing();
};

void SendersTest::formsHoldTheirControls_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cmddat");
    QTest::addColumn<int>("cmddatLength");
    QTest::newRow("Sendinst") << "Sendinst"
                              << "Long Command Sender"
                              << "R02" << 32767;
    QTest::newRow("Sndshort") << "Sndshort"
                              << "Short Command Sender"
                              << "X" << 1;
}

void SendersTest::formsHoldTheirControls() {
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, cmddat);
    QFETCH(int, cmddatLength);
    ConsoleFixture f;
    QWidget& w = open(f, window);
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(text(w, "cmddat"), cmddat);
    QCOMPARE(child<QLineEdit>(w, "cmddat")->maxLength(), cmddatLength);
    QCOMPARE(text(w, "data5bytes"), QString("00000"));
    QCOMPARE(text(w, "optdata"), QString("Optional Data:"));
    QCOMPARE(text(w, "inver"), QString("N A"));
    QCOMPARE(text(w, "working"), QString());
    QCOMPARE(child<QPushButton>(w, "sendit")->text().remove('&'), QString("Send "));
    QCOMPARE(child<QPushButton>(w, "Version")->text().remove('&'), QString("Request Version"));
    QCOMPARE(w.findChild<QPushButton*>("Command1") != nullptr, window == "Sndshort");
    if (window == "Sndshort") {
        QCOMPARE(text(w, "Text1"), QString("OXDDDDDDH"));
        QCOMPARE(child<QPushButton>(w, "Command1")->text().remove('&'), QString("Send"));
        QCOMPARE(child<QPushButton>(w, "Command2")->text().remove('&'), QString("Load"));
    }
}

void SendersTest::longCommandsArePaddedAndShowTheReply_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("cmddat");
    QTest::addColumn<QString>("data5bytes");
    QTest::addColumn<std::string>("request");
    QTest::addColumn<std::string>("reply");
    QTest::addColumn<QString>("inver");
    const std::string r1r = longReply("R1R", "00000040000000000000401F409C4FF000000");
    QTest::newRow("R02 as it stands")
        << "Sendinst"
        << "sendit"
        << "R02"
        << "00000" << longRequest("R02", "00000") << versionReply << "Version SIM 1";
    QTest::newRow("2 becomes 002, 7 becomes 00007")
        << "Sendinst"
        << "sendit"
        << "2"
        << "7" << longRequest("002", "00007") << r1r << "";
    QTest::newRow("rightmost three and five")
        << "Sendinst"
        << "sendit"
        << "AR1R"
        << "1234567" << longRequest("R1R", "34567") << r1r << "";
    QTest::newRow("empty boxes") << "Sendinst"
                                 << "sendit"
                                 << ""
                                 << "" << longRequest("000", "00000") << r1r << "";
    QTest::newRow("short sender's X is 00X") << "Sndshort"
                                             << "sendit"
                                             << "X"
                                             << "00000" << longRequest("00X", "00000") << r1r << "";
    QTest::newRow("version whatever the code box holds")
        << "Sendinst"
        << "Version"
        << "R1R"
        << "12" << longRequest("R02", "00012") << versionReply << "Version SIM 1";
    QTest::newRow("version without the mark")
        << "Sndshort"
        << "Version"
        << "X"
        << "00000" << longRequest("R02", "00000") << r1r << "No Data";
}

void SendersTest::longCommandsArePaddedAndShowTheReply() {
    QFETCH(QString, window);
    QFETCH(QString, button);
    QFETCH(QString, cmddat);
    QFETCH(QString, data5bytes);
    QFETCH(std::string, request);
    QFETCH(std::string, reply);
    QFETCH(QString, inver);
    ConsoleFixture f;
    QWidget& w = open(f, window);
    child<QLineEdit>(w, "cmddat")->setText(cmddat);
    child<QLineEdit>(w, "data5bytes")->setText(data5bytes);
    f.port.expect("&").answer(":", 10ms);
    f.port.expect(request).answer(reply, 50ms);
    click(w, qPrintable(button));
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(responce(w), QString::fromStdString(reply));
    QCOMPARE(text(w, "inver"), inver);
    QCOMPARE(text(w, "working"), QString());
}

void SendersTest::shortCommandGoesExactlyAsTyped() {
    ConsoleFixture f;
    Sndshort& w = f.windows.show<Sndshort>();
    child<QLineEdit>(w, "Text1")->setText("or10");
    f.port.expect("&").answer(":", 10ms);
    f.port.expect("-or10").answer("OR001005H", 20ms);
    click(w, "Command1");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(responce(w), QString("OR001005H"));
    QCOMPARE(text(w, "inver"), QString("N A"));
}

void SendersTest::loadRestoresTheTemplate() {
    ConsoleFixture f;
    Sndshort& w = f.windows.show<Sndshort>();
    child<QLineEdit>(w, "Text1")->setText("OR0010DDH");
    click(w, "Command2");
    QCOMPARE(text(w, "Text1"), QString("OXDDDDDDH"));
    QVERIFY(f.port.writes().empty());
}

// The long senders used to show the request they had built as if it were the reply when
// nothing answered the attention character.
void SendersTest::failuresAreShownWithTheirCodeNeverAsAReply_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answered"); // attempts answered ':' (0: none of the three)
    QTest::addColumn<std::string>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("inver");
    QTest::newRow("send, nothing answered")
        << "sendit" << 0 << std::string()
        << "Error - No or invalad Data received\nZ Unable to connect"
        << "";
    QTest::newRow("version, nothing answered")
        << "Version" << 0 << std::string() << "Error - No Data received\nZ Unable to connect"
        << "No Data";
    QTest::newRow("send, half a reply")
        << "sendit" << 1 << versionReply.substr(0, 30)
        << "Error - No or invalad Data received\nZ Unable to connect"
        << "Version SIM 1";
    QTest::newRow("send, the controller refused it")
        << "sendit" << 1 << longReply("R02", "", 'X')
        << "Error - No or invalad Data received\nX Invalid Instruction sent"
        << "";
    QTest::newRow("short, no reply")
        << "Command1" << 1 << std::string() << "-OXDDDDDDH\nZ Unable to connect"
        << "Version 1.0";
}

void SendersTest::failuresAreShownWithTheirCodeNeverAsAReply() {
    QFETCH(QString, button);
    QFETCH(int, answered);
    QFETCH(std::string, reply);
    QFETCH(QString, shown);
    QFETCH(QString, inver);
    ConsoleFixture f;
    Sndshort& w = f.windows.show<Sndshort>();
    child<QLabel>(w, "inver")->setText("Version 1.0");
    if (answered == 0) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            f.port.expect("&");
        }
    } else {
        f.port.expect("&").answer(":", 10ms);
        ScriptedPort::Step& request = f.port.expectAny();
        if (!reply.empty()) {
            request.answer(reply, 10ms);
        }
    }
    f.g().errcode = "0"; // a code left by an earlier exchange is not this one's
    f.g().errtext = "No errors";
    click(w, qPrintable(button));
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(responce(w), shown);
    QCOMPARE(text(w, "inver"), inver);
}

// While one sender waits for the controller, its buttons are down and the other sender's click
// is refused without a character going out.
void SendersTest::aBusyLinkSendsNothing() {
    ConsoleFixture f;
    Sndshort& waiting = f.windows.show<Sndshort>();
    Sendinst& other = f.windows.show<Sendinst>();
    for (int attempt = 0; attempt < 3; ++attempt) {
        f.port.expect("&");
    }
    bool checked = false;
    f.time.at(500ms, [&] {
        for (const char* button : {"sendit", "Version", "Command1"}) {
            QVERIFY(!child<QPushButton>(waiting, button)->isEnabled());
        }
        QVERIFY(child<QPushButton>(waiting, "Command2")->isEnabled());
        QCOMPARE(text(waiting, "working"), QString("WAITING FOR RESPONCE"));
        click(other, "Version");
        QCOMPARE(responce(other), QString("B Link busy"));
        QCOMPARE(text(other, "inver"), QString("N A"));
        QCOMPARE(text(other, "working"), QString());
        checked = true;
    });
    click(waiting, "sendit");
    QVERIFY(checked);
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(f.port.writes().size(), size_t(3));
    QVERIFY(child<QPushButton>(waiting, "Command1")->isEnabled());
    QCOMPARE(text(waiting, "working"), QString());
}

QTEST_MAIN(SendersTest)
#include "test_senders.moc"
