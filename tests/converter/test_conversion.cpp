// Whole conversions against golden files: each folder under golden/ holds a script (kivo.txt)
// beside the files the conversion must leave behind, byte for byte. A file missing from the
// folder must be missing after the conversion too. messages.txt holds the error messages shown.
// PKIVO_UPDATE_GOLDEN=1 rewrites the expected files from what the conversion produced.
#include "converter/conversion.h"
#include "setup/settingsrecord.h"
#include "temphome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;
using S = std::string;

namespace {

struct RecordingObserver : ConversionObserver {
    void passFinished(int passno, const Counters&, const S&) override { passes.push_back(passno); }
    void processingError(const S& message) override { messages += message + "\n"; }
    std::vector<int> passes;
    S messages;
};

bool exists(const S& path) {
    return QFile::exists(QString::fromStdString(path));
}

ConversionResult convert(RecordingObserver& observer) {
    return Conversion(observer).run(ConversionPaths::fromSettings(SettingsRecord::defaults()));
}

} // namespace

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void conversionLeavesTheGoldenFiles_data() {
        QTest::addColumn<QString>("folder");
        const QString golden = qEnvironmentVariable("PKIVO_TEST_DATA") + "/converter/golden/";
        const QStringList cases = QDir(golden).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (cases.isEmpty()) {
            QTest::newRow("golden folder not found") << golden + "none";
        }
        for (const QString& name : cases) {
            QTest::newRow(name.toLatin1()) << golden + name;
        }
    }
    // Every case starts with the flash file of an earlier conversion: one that fails must not
    // leave it behind. The "address-three-way-merge" case shows a slot starting with FF skipped.
    void conversionLeavesTheGoldenFiles() {
        QFETCH(QString, folder);
        const S golden = folder.toStdString() + "/";
        QVERIFY2(exists(golden), golden.c_str());
        TempHome home;
        writeWholeFile(home.file("Tolvane/flash.tmp"), "00000" + S(528, 'F') + "\r\n");
        if (exists(golden + "kivo.txt")) {
            writeWholeFile(home.file("Tolvane/kivo.txt"), readWholeFile(golden + "kivo.txt"));
        }
        RecordingObserver observer;
        const ConversionResult result = convert(observer);
        QCOMPARE(observer.passes, (std::vector<int>{1, 2}));
        QCOMPARE(result.completed, observer.messages.empty());
        if (!observer.messages.empty()) {
            writeWholeFile(home.file("Tolvane/messages.txt"), observer.messages);
        }
        const bool update = qEnvironmentVariableIsSet("PKIVO_UPDATE_GOLDEN");
        for (const char* name : {"premerged.tmp", "list.txt", "fixup.tmp", "fixup1.tmp",
                                 "flash.tmp", "messages.txt"}) {
            const S produced = home.file(S("Tolvane/") + name), expected = golden + name;
            if (update) {
                QFile::remove(QString::fromStdString(expected));
                if (exists(produced)) {
                    writeWholeFile(expected, readWholeFile(produced));
                }
            } else {
                QVERIFY2(exists(produced) == exists(expected), name);
                QCOMPARE(QString::fromLatin1(readWholeFile(produced)),
                         QString::fromLatin1(readWholeFile(expected)));
            }
        }
    }

    void unreadableTemporaryFileIsReported() {
        TempHome home;
        writeWholeFile(home.file("Tolvane/kivo.txt"), "STOP\r\n");
        // A folder stands where a temporary file must be written.
        QDir().mkpath(QString::fromStdString(home.file("Tolvane/fixup1.tmp")));
        RecordingObserver observer;
        QVERIFY(!convert(observer).completed);
        QCOMPARE(observer.messages,
                 S("Processing Error or Canot open Kivo or temp File Line#:1\n"));
        QVERIFY(!exists(home.file("Tolvane/flash.tmp")));
    }

    // More page lines than the old fixed tables held (4097): nothing is dropped.
    void largeScriptsKeepEveryPage() {
        TempHome home;
        S script;
        for (int page = 0; page < 5000; ++page) {
            script += "ADDRESS " + std::to_string(page * 16) + "\nSTOP\n";
        }
        writeWholeFile(home.file("Tolvane/kivo.txt"), script + "ADDRESS 0\nNOP\n");
        RecordingObserver observer;
        QVERIFY(convert(observer).completed);
        const S flash = readWholeFile(home.file("Tolvane/flash.tmp"));
        QCOMPARE(flash.size(), size_t(5000 * 535));
        // The NOP written back into page 0 replaces its STOP.
        QCOMPARE(flash.substr(0, 5 + 64), "00000FE" + S(62, 'F'));
        QCOMPARE(flash.substr(4999 * 535, 7), S("0499980"));
    }
};

QTEST_GUILESS_MAIN(ConversionTest)
#include "test_conversion.moc"
