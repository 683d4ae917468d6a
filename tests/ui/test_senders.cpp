// The two command senders, clicked as a user would against a scripted controller: what each
// button puts on the wire, byte for byte, the version label, the reply box, and what they show
// when nothing answered or another exchange held the link. How the boxes are padded is the
// packet builder's, tested with it; here one row per button proves the boxes reach the packet.
#include "consolefixture.h"
#include "ui/sendinst.h"
#include "ui/sndshort.h"

#include <QPlainTextEdit>

using namespace pkivo;
using namespace pkivo::test;
using S = std::string;

namespace {

// docomax's template with the code at 4-6 and the data at 7-11, lead-in included: written out
// in full so that the test does not lean on the code that builds it.
S longRequest(const S& code, const S& data) {
    return "$OV0" + code + data + "0xxx" + S(32, 'D') + "xxx000x000000x0H~";
}

QWidget& open(ConsoleFixture& f, const QString& window) {
    if (window == "Sendinst") {
        return f.windows.show<Sendinst>();
    }
    return f.windows.show<Sndshort>();
}

QString responce(QWidget& window) {
    return child<QPlainTextEdit>(window, "responce")->toPlainText();
}

const S versionReply = longReply("R02", "Version SIM 1");
const QString unableToConnect = "\nZ Unable to connect";

struct SendRow {
    QString window, button, cmddat, data5bytes;
    S request, reply;
    QString inver;
};
struct FailRow {
    QString button;
    int answered; // attempts answered ':' (0: none of the three)
    S reply;
    QString shown, inver;
};

} // namespace

Q_DECLARE_METATYPE(SendRow)
Q_DECLARE_METATYPE(FailRow)

class SendersTest : public QObject {
    Q_OBJECT
private slots:
    void longCommandsShowTheReplyAndTheVersion_data() {
        QTest::addColumn<SendRow>("row");
        const S r1r = longReply("R1R", "00000040000000000000401F409C4FF000000");
        QTest::newRow("send: both boxes padded, the version read")
            << SendRow{"Sendinst",   "sendit",       "R02", "7", longRequest("R02", "00007"),
                       versionReply, "Version SIM 1"};
        QTest::newRow("send: no version in the reply clears the label")
            << SendRow{"Sndshort", "sendit", "X", "00000", longRequest("00X", "00000"), r1r, ""};
        QTest::newRow("version whatever the code box holds")
            << SendRow{"Sendinst",   "Version",      "R1R", "12", longRequest("R02", "00012"),
                       versionReply, "Version SIM 1"};
        QTest::newRow("version without the mark") << SendRow{
            "Sndshort", "Version", "X", "00000", longRequest("R02", "00000"), r1r, "No Data"};
    }
    void longCommandsShowTheReplyAndTheVersion() {
        QFETCH(SendRow, row);
        ConsoleFixture f;
        QWidget& w = open(f, row.window);
        child<QLineEdit>(w, "cmddat")->setText(row.cmddat);
        child<QLineEdit>(w, "data5bytes")->setText(row.data5bytes);
        expectExchange(f.port, row.request, row.reply, 50ms, 10ms);
        click(w, row.button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(responce(w), QString::fromStdString(row.reply));
        QCOMPARE(texts(w, {"inver", "working"}), row.inver + '|');
    }

    // Sent exactly as typed; Load then puts the template back without sending anything.
    void shortCommandGoesAsTypedAndLoadRestoresTheTemplate() {
        ConsoleFixture f;
        Sndshort& w = f.windows.show<Sndshort>();
        child<QLineEdit>(w, "Text1")->setText("or10");
        expectExchange(f.port, "-or10", "OR001005H", 20ms, 10ms);
        click(w, "Command1");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(responce(w), QString("OR001005H"));
        QCOMPARE(text(w, "inver"), QString("N A"));
        click(w, "Command2");
        QCOMPARE(text(w, "Text1"), QString("OXDDDDDDH"));
        QCOMPARE(f.port.writes().size(), size_t(2));
    }

    // The long senders used to show the request they had built as if it were the reply when
    // nothing answered the attention character.
    void failuresAreShownWithTheirCodeNeverAsAReply_data() {
        QTest::addColumn<FailRow>("row");
        const QString noOrInvalid = "Error - No or invalad Data received" + unableToConnect;
        QTest::newRow("send, nothing answered") << FailRow{"sendit", 0, {}, noOrInvalid, ""};
        QTest::newRow("version, nothing answered")
            << FailRow{"Version", 0, {}, "Error - No Data received" + unableToConnect, "No Data"};
        QTest::newRow("send, half a reply")
            << FailRow{"sendit", 1, versionReply.substr(0, 30), noOrInvalid, "Version SIM 1"};
        QTest::newRow("short, no reply")
            << FailRow{"Command1", 1, {}, "-OXDDDDDDH" + unableToConnect, "Version 1.0"};
    }
    void failuresAreShownWithTheirCodeNeverAsAReply() {
        QFETCH(FailRow, row);
        ConsoleFixture f;
        Sndshort& w = f.windows.show<Sndshort>();
        child<QLabel>(w, "inver")->setText("Version 1.0");
        if (row.answered == 0) {
            expectUnanswered(f.port, 3);
        } else {
            f.port.expect("&").answer(":", 10ms);
            ScriptedPort::Step& request = f.port.expectAny();
            if (!row.reply.empty()) {
                request.answer(row.reply, 10ms);
            }
        }
        f.g().errcode = "0"; // a code left by an earlier exchange is not this one's
        f.g().errtext = "No errors";
        click(w, row.button);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(responce(w), row.shown);
        QCOMPARE(text(w, "inver"), row.inver);
    }

    // While one sender waits for the controller, its buttons are down and the other sender's
    // click is refused without a character going out.
    void aBusyLinkSendsNothing() {
        ConsoleFixture f;
        Sndshort& waiting = f.windows.show<Sndshort>();
        Sendinst& other = f.windows.show<Sendinst>();
        expectUnanswered(f.port, 3);
        bool checked = false;
        f.time.at(500ms, [&] {
            for (const char* button : {"sendit", "Version", "Command1"}) {
                QVERIFY(!child<QPushButton>(waiting, button)->isEnabled());
            }
            QVERIFY(child<QPushButton>(waiting, "Command2")->isEnabled());
            QCOMPARE(text(waiting, "working"), QString("WAITING FOR RESPONCE"));
            click(other, "Version");
            QCOMPARE(responce(other), QString("B Link busy"));
            QCOMPARE(texts(other, {"inver", "working"}), QString("N A|"));
            checked = true;
        });
        click(waiting, "sendit");
        QVERIFY(checked);
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(f.port.writes().size(), size_t(3));
        QVERIFY(child<QPushButton>(waiting, "Command1")->isEnabled());
        QCOMPARE(text(waiting, "working"), QString());
    }
};

QTEST_MAIN(SendersTest)
#include "test_senders.moc"
