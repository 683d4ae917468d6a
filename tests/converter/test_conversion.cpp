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

class RecordingObserver : public ConversionObserver {
public:
    void passFinished(int passno, const Counters&, const std::string&) override {
        passes.push_back(passno);
    }
    void processingError(const std::string& message) override { messages += message + "\n"; }

    std::vector<int> passes;
    std::string messages;
};

bool exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

// Writes `bytes` to `name` in the working folder of `home`, making the folder first.
void putFile(const TempHome& home, const std::string& name, const std::string& bytes) {
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    writeWholeFile(home.file("Tolvane/" + name), bytes);
}

ConversionResult convert(RecordingObserver& observer) {
    Conversion conversion(observer);
    return conversion.run(ConversionPaths::fromSettings(SettingsRecord::defaults()));
}

QString goldenFolder(const QString& name) {
    return qEnvironmentVariable("PKIVO_TEST_DATA") + "/converter/golden/" + name;
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void conversionLeavesTheGoldenFiles_data() {
        QTest::addColumn<QString>("folder");
        const QStringList cases =
            QDir(goldenFolder("")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (cases.isEmpty()) {
            QTest::newRow("golden folder not found") << QString("none");
        }
        for (const QString& name : cases) {
            QTest::newRow(name.toLatin1()) << name;
        }
    }

    // Every case starts with the flash file of an earlier conversion: one that fails must not
    // leave it behind.
    void conversionLeavesTheGoldenFiles() {
        QFETCH(QString, folder);
        const std::string golden = goldenFolder(folder).toStdString() + "/";
        QVERIFY2(exists(golden), golden.c_str());
        TempHome home;
        putFile(home, "flash.tmp", "00000" + std::string(528, 'F') + "\r\n");
        if (exists(golden + "kivo.txt")) {
            putFile(home, "kivo.txt", readWholeFile(golden + "kivo.txt"));
        }
        RecordingObserver observer;
        const ConversionResult result = convert(observer);
        QCOMPARE(observer.passes, (std::vector<int>{1, 2}));
        QCOMPARE(result.completed, observer.messages.empty());
        if (!observer.messages.empty()) {
            putFile(home, "messages.txt", observer.messages);
        }
        const bool update = qEnvironmentVariableIsSet("PKIVO_UPDATE_GOLDEN");
        for (const char* name : {"premerged.tmp", "list.txt", "fixup.tmp", "fixup1.tmp",
                                 "flash.tmp", "messages.txt"}) {
            const std::string produced = home.file(std::string("Tolvane/") + name);
            const std::string expected = golden + name;
            if (update) {
                QFile::remove(QString::fromStdString(expected));
                if (exists(produced)) {
                    writeWholeFile(expected, readWholeFile(produced));
                }
                continue;
            }
            QVERIFY2(exists(produced) == exists(expected), name);
            QCOMPARE(QString::fromLatin1(readWholeFile(produced)),
                     QString::fromLatin1(readWholeFile(expected)));
        }
    }

    void unreadableTemporaryFileIsReported() {
        TempHome home;
        putFile(home, "kivo.txt", "STOP\r\n");
        // A folder stands where a temporary file must be written.
        QDir().mkpath(QString::fromStdString(home.file("Tolvane/fixup1.tmp")));
        RecordingObserver observer;
        QVERIFY(!convert(observer).completed);
        QCOMPARE(observer.messages,
                 std::string("Processing Error or Canot open Kivo or temp File Line#:1\n"));
        QVERIFY(!exists(home.file("Tolvane/flash.tmp")));
    }

    void mergeSkipsSlotsStartingWithFF() {
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

    void largeScriptsKeepEveryPage() {
        // More page lines than the old fixed tables held (4097): nothing is dropped.
        TempHome home;
        std::string script;
        for (int page = 0; page < 5000; ++page) {
            script += "ADDRESS " + std::to_string(page * 16) + "\nSTOP\n";
        }
        putFile(home, "kivo.txt", script + "ADDRESS 0\nNOP\n");
        RecordingObserver observer;
        QVERIFY(convert(observer).completed);
        const std::string flash = readWholeFile(home.file("Tolvane/flash.tmp"));
        QCOMPARE(flash.size(), size_t(5000 * 535));
        // The NOP written back into page 0 replaces its STOP.
        QCOMPARE(flash.substr(0, 5 + 64), "00000FE" + std::string(62, 'F'));
        QCOMPARE(flash.substr(4999 * 535, 7), std::string("0499980"));
    }
};

QTEST_GUILESS_MAIN(ConversionTest)
#include "test_conversion.moc"
