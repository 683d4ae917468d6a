// Whole conversions against golden files: each folder under golden/ holds a script (kivo.txt)
// beside the files the conversion must leave behind, byte for byte. A file missing from the
// folder must be missing after the conversion too. messages.txt holds the error messages shown.
// PKIVO_UPDATE_GOLDEN=1 rewrites the expected files from what the conversion produced.
#include "converter/conversion.h"
#include "converter/fixup.h"
#include "setup/settingsrecord.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace pkivo;
using pkivo::test::readWholeFile;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

namespace {

const char* const producedFiles[] = {"premerged.tmp", "list.txt", "fixup.tmp", "fixup1.tmp",
                                     "flash.tmp"};

class RecordingObserver : public ConversionObserver {
public:
    void passFinished(int passno, const Counters& c, const std::string& text) override {
        passes.push_back(passno);
        counters = c;
        scriptText = text;
    }
    void processingError(const std::string& message) override { messages += message + "\n"; }

    std::vector<int> passes;
    Counters counters;
    std::string scriptText;
    std::string messages;
};

QString goldenFolder(const QString& name) {
    return qEnvironmentVariable("PKIVO_TEST_DATA") + "/converter/golden/" + name;
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void conversionLeavesTheGoldenFiles_data();
    void conversionLeavesTheGoldenFiles();
    void windowSeesTheSecondPass();
    void failedConversionRemovesAnOldFlashFile();
    void unreadableTemporaryFileIsReported();
    void mergeSkipsSlotsStartingWithFF();
    void largeScriptsKeepEveryPage();
};

void ConversionTest::conversionLeavesTheGoldenFiles_data() {
    QTest::addColumn<QString>("folder");
    const QStringList cases = QDir(goldenFolder("")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (cases.isEmpty()) {
        QTest::newRow("golden folder not found") << QString("none");
    }
    for (const QString& name : cases) {
        QTest::newRow(name.toLatin1()) << name;
    }
}

void ConversionTest::conversionLeavesTheGoldenFiles() {
    QFETCH(QString, folder);
    const std::string golden = goldenFolder(folder).toStdString() + "/";
    QVERIFY2(QDir(QString::fromStdString(golden)).exists(), golden.c_str());
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    if (QFile::exists(QString::fromStdString(golden + "kivo.txt"))) {
        writeWholeFile(home.file("Tolvane/kivo.txt"), readWholeFile(golden + "kivo.txt"));
    }
    RecordingObserver observer;
    Conversion conversion(observer);
    ConversionResult result = conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults()));

    const bool update = qEnvironmentVariableIsSet("PKIVO_UPDATE_GOLDEN");
    for (const char* name : producedFiles) {
        const std::string produced = home.file(std::string("Tolvane/") + name);
        const std::string expected = golden + name;
        const bool exists = QFile::exists(QString::fromStdString(produced));
        if (update) {
            QFile::remove(QString::fromStdString(expected));
            if (exists) {
                writeWholeFile(expected, readWholeFile(produced));
            }
            continue;
        }
        QVERIFY2(exists == QFile::exists(QString::fromStdString(expected)), name);
        if (exists) {
            QCOMPARE(QString::fromLatin1(readWholeFile(produced)),
                     QString::fromLatin1(readWholeFile(expected)));
        }
    }
    if (update) {
        QFile::remove(QString::fromStdString(golden + "messages.txt"));
        if (!observer.messages.empty()) {
            writeWholeFile(golden + "messages.txt", observer.messages);
        }
        return;
    }
    const std::string expectedMessages = readWholeFile(golden + "messages.txt");
    QCOMPARE(QString::fromStdString(observer.messages), QString::fromStdString(expectedMessages));
    QCOMPARE(result.completed, expectedMessages.empty());
    QCOMPARE(observer.passes, (std::vector<int>{1, 2}));
}

void ConversionTest::windowSeesTheSecondPass() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    writeWholeFile(home.file("Tolvane/kivo.txt"), "GOSUB SUB\nDO 2\nLOOP\n\nSUB\nRETURN");
    RecordingObserver observer;
    Conversion conversion(observer);
    ConversionResult result = conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults()));
    QVERIFY(result.completed);
    QCOMPARE(observer.scriptText, std::string("GOSUB SUB\r\nDO 2\r\nLOOP\r\n\r\nSUB\r\nRETURN\r\n"));
    Counters expected;
    expected.goodlines = 4;
    expected.blanklines = 1;
    expected.callcount = 1;
    expected.returncount = 1;
    expected.docount = 1;
    expected.loopcount = 1;
    QVERIFY(observer.counters == expected);
    QVERIFY(result.counters == expected);
    QCOMPARE(result.report, std::string("***************** REPORT ****************\r\n"
                                        "Number of good lines 4\r\n"
                                        "Number of blank lines 1\r\n"
                                        "Number of Errors & Warnings 0\r\n"
                                        "Number of Calls 1  Number of returns 1\r\n"
                                        "Number of Dos 1  Number of loops 1\r\n"));
}

void ConversionTest::failedConversionRemovesAnOldFlashFile() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    writeWholeFile(home.file("Tolvane/flash.tmp"), "00000" + std::string(528, 'F') + "\r\n");
    writeWholeFile(home.file("Tolvane/kivo.txt"), "STOP\r\nDO 4294967296\r\n");
    RecordingObserver observer;
    Conversion conversion(observer);
    QVERIFY(!conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults())).completed);
    QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/flash.tmp"))));
    QCOMPARE(observer.messages,
             std::string("Processing Error or Canot open Kivo or temp File Line#:1\n"
                         "Processing Error or Canot open Kivo or temp File Line#:1\n"));
}

void ConversionTest::unreadableTemporaryFileIsReported() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane/fixup1.tmp"))); // a folder in the way
    writeWholeFile(home.file("Tolvane/kivo.txt"), "STOP\r\n");
    RecordingObserver observer;
    Conversion conversion(observer);
    QVERIFY(!conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults())).completed);
    QCOMPARE(observer.messages,
             std::string("Processing Error or Canot open Kivo or temp File Line#:1\n"));
    QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/flash.tmp"))));
}

void ConversionTest::mergeSkipsSlotsStartingWithFF() {
    std::string fixline = "00003" + std::string(528, 'A');
    std::string dupline = "00003" + std::string(528, 'F');
    dupline.replace(5 + 32, 32, "FFFF0005" + std::string(24, 'F')); // a POSITION row without S1
    dupline.replace(5 + 64, 32, "40FF0002" + std::string(24, 'F'));
    dupline.replace(5 + 15 * 32, 32, std::string(32, '1'));
    mergepage(fixline, dupline);
    QCOMPARE(fixline.substr(5, 64), std::string(64, 'A'));
    QCOMPARE(fixline.substr(5 + 64, 32), "40FF0002" + std::string(24, 'F'));
    QCOMPARE(fixline.substr(5 + 15 * 32, 32), std::string(32, '1'));
    QCOMPARE(fixline.substr(517), std::string(16, 'A')); // the 16 digits after slot 15 stay
    QCOMPARE(pageNumberOf("01234xyz"), 1234L);
    QCOMPARE(pageNumberOf("12"), 12L);
}

void ConversionTest::largeScriptsKeepEveryPage() {
    // More page lines than the old fixed tables held (4097): nothing is dropped.
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    std::string script;
    for (int page = 0; page < 5000; ++page) {
        script += "ADDRESS " + std::to_string(page * 16) + "\nSTOP\n";
    }
    script += "ADDRESS 0\nNOP\n";
    writeWholeFile(home.file("Tolvane/kivo.txt"), script);
    RecordingObserver observer;
    Conversion conversion(observer);
    QVERIFY(conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults())).completed);
    const std::string flash = readWholeFile(home.file("Tolvane/flash.tmp"));
    QCOMPARE(flash.size(), size_t(5000 * 535));
    // The NOP written back into page 0 replaces its STOP.
    QCOMPARE(flash.substr(0, 5 + 64), "00000" + ("FE" + std::string(30, 'F')) + std::string(32, 'F'));
    QCOMPARE(flash.substr(4999 * 535, 7), std::string("0499980"));
}

QTEST_GUILESS_MAIN(ConversionTest)
#include "test_conversion.moc"
