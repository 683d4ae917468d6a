// The converter window, clicked as a user would: a conversion fills the counters and the script
// text; a download drives the indicator, the page box and the progress bar.
#include "consolefixture.h"
#include "controls.h"
#include "ui/filegobbler.h"
#include "scriptedlink.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

std::string pageLine(int page) { return decimalDigits(uint64_t(page), 5) + std::string(528, 'F'); }

const std::string written = "OV0OK" + std::string(59, '-');

void click(QWidget& window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

} // namespace

class FilegobblerTest : public QObject {
    Q_OBJECT
private slots:
    void showsThePathsOfTheSettings();
    void conversionFillsTheCounters();
    void processingErrorShowsItsMessage();
    void downloadEndsOkOnLightGreen();
    void downloadFailures_data();
    void downloadFailures();
};

void FilegobblerTest::showsThePathsOfTheSettings() {
    ConsoleFixture f;
    Filegobbler& window = f.windows.show<Filegobbler>();
    QCOMPARE(child<QLineEdit>(window, "SourceFile")->text(), QString("c:\\Tolvane\\kivo.txt"));
    QCOMPARE(child<QLineEdit>(window, "tempfile")->text(), QString("c:\\Tolvane\\premerged.tmp"));
    QCOMPARE(child<QLineEdit>(window, "Listfile")->text(), QString("c:\\Tolvane\\list.txt"));
    QCOMPARE(text(window, "Flashindicator"), QString("OK"));
    QCOMPARE(text(window, "Label6"), QString("Number of retunrs:"));
}

void FilegobblerTest::conversionFillsTheCounters() {
    ConsoleFixture f;
    writeWholeFile(f.home.file("Tolvane/kivo.txt"),
                   "/ demo\r\nGOSUB SUB\r\nDO 2\r\nLOOP\r\nBOGUS LINE THAT IS TOO LONG\r\nSUB\r\nRETURN\r\n");
    Filegobbler& window = f.windows.show<Filegobbler>();
    window.show();
    // The window keeps the paths it was made with; a setup change counts when it is made again.
    f.console.sysparams.setPath(settings::flashfileloc, "c:\\Tolvane\\other.tmp");
    click(window, "Readkivo");
    QVERIFY(!QFile::exists(QString::fromStdString(f.home.file("Tolvane/other.tmp"))));
    QCOMPARE(text(window, "goodlines"), QString("4"));
    QCOMPARE(text(window, "errorbumper"), QString("1"));
    QCOMPARE(text(window, "blanklines"), QString("1"));
    QCOMPARE(text(window, "callcount"), QString("1"));
    QCOMPARE(text(window, "returncount"), QString("1"));
    QCOMPARE(text(window, "docount"), QString("1"));
    QCOMPARE(text(window, "loopcount"), QString("1"));
    QVERIFY(child<QPlainTextEdit>(window, "output1")->toPlainText().startsWith("/ demo\nGOSUB SUB\n"));
    QVERIFY(QFile::exists(QString::fromStdString(f.home.file("Tolvane/flash.tmp"))));
    QVERIFY(child<QPushButton>(window, "Readkivo")->isEnabled());
    QVERIFY(f.ui.messages.empty());
}

void FilegobblerTest::processingErrorShowsItsMessage() {
    ConsoleFixture f;
    writeWholeFile(f.home.file("Tolvane/kivo.txt"), "STOP\r\nSTOP\r\nWAIT 3000000000\r\n");
    Filegobbler& window = f.windows.show<Filegobbler>();
    window.show();
    click(window, "Readkivo");
    QCOMPARE(f.ui.messages, (std::vector<std::string>(
                                2, "Processing Error or Canot open Kivo or temp File Line#:2")));
    QCOMPARE(text(window, "goodlines"), QString("2"));
    QVERIFY(child<QPushButton>(window, "Readkivo")->isEnabled());
    QVERIFY(child<QPushButton>(window, "toflash")->isEnabled());
}

void FilegobblerTest::downloadEndsOkOnLightGreen() {
    ConsoleFixture f;
    writeWholeFile(f.home.file("Tolvane/flash.tmp"),
                   pageLine(0) + "\r\n" + pageLine(1) + "\r\n" + pageLine(9) + "\r\n");
    for (int page : {0, 1, 9}) {
        f.port.expect("#").answer("!", 5ms);
        f.port.expect("$" + pageLine(page)).answer(written, 30ms);
    }
    Filegobbler& window = f.windows.show<Filegobbler>();
    window.show();
    click(window, "toflash");
    PKIVO_VERIFY_SCRIPT(f.port);
    QCOMPARE(text(window, "Flashindicator"), QString("OK"));
    QVERIFY(child<QLabel>(window, "Flashindicator")->styleSheet().contains("#80FF80"));
    QCOMPARE(child<QLineEdit>(window, "Text1")->text(), QString("00009"));
    QCOMPARE(child<QProgressBar>(window, "downloadProgress")->value(), 3);
    QCOMPARE(child<QProgressBar>(window, "downloadProgress")->maximum(), 3);
    QCOMPARE(text(window, "elapsedTime"), QString("0.1 s")); // three pages of 35 ms
    QVERIFY(f.ui.messages.empty());
}

void FilegobblerTest::downloadFailures_data() {
    QTest::addColumn<QString>("file");      // "missing", "empty" or a number of pages
    QTest::addColumn<int>("pagesAnswered"); // the controller answers that many, then goes silent
    QTest::addColumn<QString>("message");
    QTest::newRow("controller stops after page 2")
        << "4" << 2
        << "Error writing controller\nPage 00002 was not written: Z Unable to connect.";
    QTest::newRow("missing file") << "missing" << 0
                                  << "Canot open flash data file c:\\Tolvane\\flash.tmp: convert a script first.";
    QTest::newRow("empty file") << "empty" << 0
                                << "The flash data file c:\\Tolvane\\flash.tmp holds no page: nothing was written.";
}

void FilegobblerTest::downloadFailures() {
    QFETCH(QString, file);
    QFETCH(int, pagesAnswered);
    QFETCH(QString, message);
    ConsoleFixture f;
    if (file == "empty") {
        writeWholeFile(f.home.file("Tolvane/flash.tmp"), "");
    } else if (file != "missing") {
        std::string lines;
        for (int page = 0; page < file.toInt(); ++page) {
            lines += pageLine(page) + "\r\n";
        }
        writeWholeFile(f.home.file("Tolvane/flash.tmp"), lines);
    }
    for (int page = 0; page < pagesAnswered; ++page) {
        f.port.expect("#").answer("!", 5ms);
        f.port.expect("$" + pageLine(page)).answer(written, 10ms);
    }
    Filegobbler& window = f.windows.show<Filegobbler>();
    window.show();
    click(window, "toflash");
    QCOMPARE(f.ui.messages, std::vector<std::string>{message.toStdString()});
    QCOMPARE(text(window, "Flashindicator"), QString("FAIL"));
    QVERIFY(child<QLabel>(window, "Flashindicator")->styleSheet().contains("#FF8080"));
    QVERIFY(child<QPushButton>(window, "Readkivo")->isEnabled());
    QVERIFY(child<QPushButton>(window, "toflash")->isEnabled());
}

QTEST_MAIN(FilegobblerTest)
#include "test_filegobbler.moc"
