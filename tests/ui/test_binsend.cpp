// The "Flash memory utility" window, clicked as a user would: its packets against a scripted
// controller, the erase question, the range and file checks, cancel, and a whole flash round
// trip against the virtual controller, all on virtual time.
#include "console/flashdownload.h"
#include "consolefixture.h"
#include "converter/conversion.h"
#include "simfixture.h"
#include "ui/binsend.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>

using namespace pkivo;
using namespace pkivo::test;

namespace {

QString result(QWidget& window) {
    return child<QPlainTextEdit>(window, "Text3")->toPlainText();
}

std::string r14(const std::string& page) {
    return "$OV0R14" + page + "xxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
}
const std::string r17 = "$OV0R17SSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";

const std::string utilityFile = "Tolvane/flashda.fla";

struct NoReport : ConversionObserver {
    void passFinished(int, const Counters&, const std::string&) override {}
    void processingError(const std::string&) override {}
};
struct NoProgress : DownloadObserver {
    void pageStarted(const std::string&, int, int) override {}
};

} // namespace

class BinsendTest : public QObject {
    Q_OBJECT
private slots:
    // The page box padded to five digits; which five are sent is the packet builder's.
    void pageReadShowsThePage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");
        QTest::newRow("Command6") << QString("7") << QString("00007");   // raw
        QTest::newRow("Command9") << QString("625") << QString("00625"); // as lines
    }
    void pageReadShowsThePage() {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        const QString button = QTest::currentDataTag();
        ConsoleFixture f;
        Binsend& window = f.windows.show<Binsend>();
        const std::string page = std::string(512, 'A') + std::string(16, 'B');
        expectExchange(f.port, r14(sent.toStdString()), page, 10ms, 1ms);
        type(window, "Text5", typed);
        click(window, qPrintable(button));
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(result(window), button == "Command6"
                                     ? QString::fromStdString(page)
                                     : QString::fromStdString(pageAsLines(page)).remove('\r'));
    }

    void eraseAsksNamingWhatItDestroys_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void eraseAsksNamingWhatItDestroys() {
        QFETCH(bool, yes);
        ConsoleFixture f;
        Binsend& window = f.windows.show<Binsend>();
        f.ui.answer = yes;
        const std::string reply = longReply("R17");
        if (yes) {
            expectExchange(f.port, r17, reply, 10ms, 1ms);
        }
        click(window, "Command8");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(f.ui.questions, std::vector<std::string>{eraseQuestion});
        QVERIFY(QString(eraseQuestion)
                    .contains("the whole program, the stored positions and the speeds"));
        QCOMPARE(text(window, "Label2"), yes ? QString::fromStdString(reply) : "End address:");
    }

    void refusedRangeLeavesTheFile() {
        ConsoleFixture f;
        writeWholeFile(f.home.file(utilityFile), "old\r\n");
        Binsend& window = f.windows.show<Binsend>();
        type(window, "Startpage", "10");
        type(window, "endpage", "5");
        click(window, "savefla");
        QVERIFY(f.port.writes().empty());
        QCOMPARE(result(window), QString("ADDRESS OUT OF RANGE"));
        QVERIFY(child<QLineEdit>(window, "endpage")->styleSheet().contains("solid"));
        QVERIFY(child<QLineEdit>(window, "Startpage")->styleSheet().isEmpty());
        QCOMPARE(readWholeFile(f.home.file(utilityFile)), std::string("old\r\n"));
    }

    void flashFileIsCheckedBeforeAnythingIsSent_data() {
        QTest::addColumn<QString>("file"); // empty: no file
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QString()
                                 << "Canot open the flash file c:\\tolvane\\flashda.fla: nothing "
                                    "was written.";
        QTest::newRow("bad second line")
            << "00001" + QString(528, 'F') + "\r\n00002" + QString(500, 'F') + "\r\n"
            << "Line 2 of c:\\tolvane\\flashda.fla is no page line: the page number is not "
               "followed by exactly 528 hexadecimal digits (0-9, A-F). Nothing was written.";
    }
    void flashFileIsCheckedBeforeAnythingIsSent() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        ConsoleFixture f;
        if (!file.isEmpty()) {
            writeWholeFile(f.home.file(utilityFile), file.toStdString());
        }
        Binsend& window = f.windows.show<Binsend>();
        click(window, "readfla");
        QVERIFY(f.port.writes().empty());
        QCOMPARE(f.ui.messages, std::vector<std::string>{message.toStdString()});
        QCOMPARE(text(window, "transferResult"), QString("FAIL"));
    }

    // Cancel during page 3: page 3 ends, page 4 is never asked for, the old file stays. The
    // elapsed time ticks while the page is on the wire.
    void cancelStopsAfterThePageOnTheWire() {
        ConsoleFixture f;
        writeWholeFile(f.home.file(utilityFile), "old\r\n");
        Binsend& window = f.windows.show<Binsend>();
        type(window, "Startpage", "3");
        type(window, "endpage", "4");
        expectExchange(f.port, r14("00003"), std::string(528, '3'), 10ms, 1ms);
        auto* ticker = window.findChild<QTimer*>("elapsedTicker");
        QString during;
        f.time.at(Millis(5), [&] {
            QVERIFY(ticker->isActive() && ticker->interval() <= 200);
            QMetaObject::invokeMethod(ticker, "timeout");
            during = child<QProgressBar>(window, "transferProgress")->text() + "|" +
                     text(window, "elapsedTime");
            click(window, "cancelTransfer");
        });
        click(window, "savefla");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(during, QString("0 of 2 pages|0.0 s"));
        QCOMPARE(text(window, "transferResult"), QString("Cancelled"));
        QCOMPARE(f.ui.messages, std::vector<std::string>{"Cancelled after page 00003: "
                                                         "c:\\tolvane\\flashda.fla is unchanged."});
        QCOMPARE(readWholeFile(f.home.file(utilityFile)), std::string("old\r\n"));
    }

    // The sample converted and downloaded; the whole flash read into the utility's file holds
    // every page of flash.tmp as it was sent. Erased and written back, it reads the same.
    void wholeFlashRoundTripThroughTheFile() {
        SimFixture s;
        writeWholeFile(s.home.file("Tolvane/kivo.txt"),
                       readWholeFile(std::string(PKIVO_EXAMPLES) + "/kivo.txt"));
        NoReport noReport;
        Conversion conversion(noReport);
        QVERIFY(conversion.run(ConversionPaths::fromSettings(s.console.sysparams)).completed);
        NoProgress noProgress;
        QCOMPARE(downloadFlashFile(s.console.link, "c:\\Tolvane\\flash.tmp", noProgress).result,
                 DownloadResult::Ok);

        Binsend window(s.console);
        type(window, "endpage", "2047");
        click(window, "savefla");
        QCOMPARE(text(window, "transferResult"), QString("OK"));
        auto lines = [&](const std::string& file) {
            const QString all = QString::fromStdString(readWholeFile(s.home.file(file)));
            return all.split("\r\n", Qt::SkipEmptyParts);
        };
        const QStringList pages = lines(utilityFile), sent = lines("Tolvane/flash.tmp");
        QCOMPARE(pages.size(), 2048);
        QVERIFY(!sent.isEmpty());
        for (const QString& page : sent) {
            QCOMPARE(pages[page.left(5).toInt()], page);
        }

        s.ui.answer = true;
        click(window, "Command8");
        click(window, "readfla");
        QCOMPARE(text(window, "transferResult"), QString("OK"));
        type(window, "Text5", sent.first().left(5));
        click(window, "Command6");
        QCOMPARE(result(window), sent.first().mid(5));
        QVERIFY(s.ui.messages.empty());
    }
};

QTEST_MAIN(BinsendTest)
#include "test_binsend.moc"
