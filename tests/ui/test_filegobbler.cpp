// The converter window, clicked as a user would: a conversion fills the counters and the script
// text; a download drives the indicator, the page box and the progress bar.
#include "consolefixture.h"
#include "ui/filegobbler.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>

using namespace pkivo;
using namespace pkivo::test;

namespace {

// What a download leaves: the indicator and its colour, the page box, the progress bar, the
// elapsed time.
QString downloadShown(QWidget& window) {
    const QProgressBar* progress = child<QProgressBar>(window, "downloadProgress");
    return texts(window, {"Flashindicator"}) + "|" +
           child<QLabel>(window, "Flashindicator")->styleSheet().section(' ', 0, 1) + "|" +
           texts(window, {"Text1", "elapsedTime"}) + "|" + progress->text();
}

} // namespace

class FilegobblerTest : public QObject {
    Q_OBJECT
private slots:
    void conversionFillsTheCounters_data() {
        QTest::addColumn<std::string>("script");
        QTest::addColumn<QString>("counters"); // good errors blank calls returns dos loops
        QTest::addColumn<int>("messages");     // each "Line#:2"
        QTest::newRow("converted") << std::string("/ demo\r\nGOSUB SUB\r\nDO 2\r\nLOOP\r\nBOGUS "
                                                  "LINE THAT IS TOO LONG\r\nSUB\r\nRETURN\r\n")
                                   << "4|1|1|1|1|1|1" << 0;
        QTest::newRow("processing error")
            << std::string("/ demo\r\nSTOP\r\nSTOP\r\nWAIT 3000000000\r\n") << "2|0|1|0|0|0|0" << 2;
    }
    // The window shows the paths it was made with and converts with them, even after a setup
    // change: that counts when the window is made again. The buttons come back either way.
    void conversionFillsTheCounters() {
        QFETCH(std::string, script);
        QFETCH(QString, counters);
        QFETCH(int, messages);
        ConsoleFixture f;
        writeWholeFile(f.home.file("Tolvane/kivo.txt"), script);
        Filegobbler& window = f.windows.show<Filegobbler>();
        QCOMPARE(texts(window, {"SourceFile", "tempfile", "Listfile"}),
                 QString("c:\\Tolvane\\kivo.txt|c:\\Tolvane\\premerged.tmp|c:\\Tolvane\\list.txt"));
        f.console.sysparams.setPath(settings::flashfileloc, "c:\\Tolvane\\other.tmp");
        click(window, "Readkivo");
        QCOMPARE(QFile::exists(QString::fromStdString(f.home.file("Tolvane/flash.tmp"))),
                 messages == 0);
        QCOMPARE(texts(window, {"goodlines", "errorbumper", "blanklines", "callcount",
                                "returncount", "docount", "loopcount"}),
                 counters);
        QVERIFY(child<QPlainTextEdit>(window, "output1")->toPlainText().startsWith("/ demo\n"));
        QCOMPARE(f.ui.messages,
                 std::vector<std::string>(
                     messages, "Processing Error or Canot open Kivo or temp File Line#:2"));
        QVERIFY(child<QPushButton>(window, "Readkivo")->isEnabled());
        QVERIFY(child<QPushButton>(window, "toflash")->isEnabled());
    }

    void downloadShowsHowItEnded_data() {
        QTest::addColumn<bool>("pages");    // 0, 7 and 2, each confirmed after 35 ms; or none
        QTest::addColumn<QString>("shown"); // as downloadShown() puts it
        QTest::addColumn<QString>("message");
        QTest::newRow("every page written")
            << true << "OK|background-color: #80FF80;|00002|0.1 s|3 of 3 pages" << QString();
        QTest::newRow("empty flash file")
            << false << "FAIL|background-color: #FF8080;||0.0 s|No page sent"
            << "The flash data file c:\\Tolvane\\flash.tmp holds no page: nothing was written.";
    }
    void downloadShowsHowItEnded() {
        QFETCH(bool, pages);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        ConsoleFixture f;
        const std::string written = "OV0OK" + std::string(59, '-');
        std::string lines;
        if (pages) {
            for (int page : {0, 7, 2}) {
                const std::string line = decimalDigits(uint64_t(page), 5) + std::string(528, 'F');
                lines += line + (page == 7 ? "\n" : "\r\n");
                f.port.expect("#").answer("!", 5ms);
                f.port.expect("$" + line).answer(written, 30ms);
            }
        }
        writeWholeFile(f.home.file("Tolvane/flash.tmp"), lines);
        f.g().packet = written; // an earlier download's confirmation must not count again
        Filegobbler& window = f.windows.show<Filegobbler>();
        click(window, "toflash");
        PKIVO_VERIFY_SCRIPT(f.port);
        QCOMPARE(downloadShown(window), shown);
        QCOMPARE(f.ui.messages,
                 std::vector<std::string>(!message.isEmpty(), message.toStdString()));
        QVERIFY(child<QPushButton>(window, "Readkivo")->isEnabled());
        QVERIFY(child<QPushButton>(window, "toflash")->isEnabled());
    }
};

QTEST_MAIN(FilegobblerTest)
#include "test_filegobbler.moc"
