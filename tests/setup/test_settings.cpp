// The settings record and params.ovh: the default file byte for byte, reading, saving, failures.
#include "recordingui.h"
#include "setup/settingsfile.h"
#include "setup/settingsrecord.h"
#include "temphome.h"

#include <QDir>
#include <QTest>

using namespace pkivo;
using pkivo::test::readWholeFile;
using pkivo::test::RecordingUi;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

namespace {

// The default record, spelled out position by position.
std::string expectedDefaultRecord() {
    std::string r = std::string(9, '0');           // 1-9
    r += "ane Version 2.04";                       // 10-25: "Tolvane Version 2.04" cut to 16
    r += std::string(24, '0');                     // 26-49
    r += "00200002000020000100002000020000200";    // 50-84
    r += "1";                                      // 85
    r += std::string(14, '0');                     // 86-99
    r += "00" "057600" "n" "8" "1";               // 100-110
    r += std::string(16, '0');                     // 111-126
    r += std::string(73, '0');                     // 127-199
    r += std::string(12, ' ') + "c:\\Tolvane\\flash.tmp";   // 200-231
    r += std::string(13, ' ') + "c:\\Tolvane\\kivo.txt";    // 232-263
    r += std::string(13, ' ') + "c:\\Tolvane\\list.txt";    // 264-295
    r += std::string(10, ' ') + "c:\\Tolvane\\Flashda.fla"; // 296-327
    r += std::string(185, '0');                    // 328-512
    return r;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheDefaultRecord();
    void existingRecordIsReadAsItStands();
    void readingTakesOnlyTheFirstLine_data();
    void readingTakesOnlyTheFirstLine();
    void unreadableFileEndsTheProgram_data();
    void unreadableFileEndsTheProgram();
    void pathsAreReadWithoutSpaces();
    void savingReplacesTheWholeFile();
    void savingWithoutAFileEndsTheProgram();
    void failedSaveKeepsTheOldFile();
};

void SettingsTest::firstStartWritesTheDefaultRecord() {
    TempHome home;
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(initparams(sysparams, ui));
    QVERIFY(ui.messages.empty());
    const std::string file = readWholeFile(home.file("Tolvane/params.ovh"));
    QCOMPARE(file.size(), size_t(512));
    QCOMPARE(QString::fromStdString(file), QString::fromStdString(expectedDefaultRecord()));
    QCOMPARE(sysparams.text(), file);
    QCOMPARE(sysparams.comport(), std::string("00"));
    QCOMPARE(sysparams.combaud(), std::string("057600"));
    QCOMPARE(sysparams.gfilebox(), std::string("c:\\Tolvane\\kivo.txt"));
    QCOMPARE(sysparams.flashmemfileloc(), std::string("c:\\Tolvane\\Flashda.fla"));
}

void SettingsTest::existingRecordIsReadAsItStands() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("tolvane")));
    std::string record = SettingsRecord::defaults().text();
    record.replace(99, 2, "07");
    writeWholeFile(home.file("tolvane/PARAMS.OVH"), record);
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(initparams(sysparams, ui));
    QCOMPARE(sysparams.comport(), std::string("07"));
    QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane"))));
}

void SettingsTest::readingTakesOnlyTheFirstLine_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("comport");
    QTest::addColumn<int>("length");
    const QByteArray record = QByteArray::fromStdString(SettingsRecord::defaults().text())
                                  .replace(99, 2, "03");
    QTest::newRow("crlf after the record") << record + "\r\ngarbage" << "03" << 512;
    QTest::newRow("lf after the record") << record + "\n" << "03" << 512;
    // A hand-edited record cut short takes the default record's characters where it ends.
    QTest::newRow("cut after the port") << record.left(101) << "03" << 512;
    QTest::newRow("cut inside the port") << record.left(100) + "\r\n" << "00" << 512;
    QTest::newRow("empty first line") << QByteArray("\r\nrest") << "00" << 512;
    QTest::newRow("longer record kept") << record + "EXTRA" << "03" << 517;
}

void SettingsTest::readingTakesOnlyTheFirstLine() {
    QFETCH(QByteArray, content);
    QFETCH(QString, comport);
    QFETCH(int, length);
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    writeWholeFile(home.file("Tolvane/params.ovh"), content.toStdString());
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(readparams(sysparams, ui));
    QCOMPARE(QString::fromStdString(sysparams.comport()), comport);
    QCOMPARE(int(sysparams.text().size()), length);
    QCOMPARE(sysparams.listfileloc(), std::string("c:\\Tolvane\\list.txt"));
}

void SettingsTest::unreadableFileEndsTheProgram_data() {
    QTest::addColumn<QString>("setup");
    QTest::newRow("empty params.ovh") << "empty";
    QTest::newRow("params.ovh is a folder") << "folder";
    QTest::newRow("Tolvane is a file") << "tolvane-file";
}

void SettingsTest::unreadableFileEndsTheProgram() {
    QFETCH(QString, setup);
    TempHome home;
    if (setup == "tolvane-file") {
        writeWholeFile(home.file("Tolvane"), "not a folder");
    } else {
        QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
        if (setup == "empty") {
            writeWholeFile(home.file("Tolvane/params.ovh"), "");
        } else {
            QDir().mkpath(QString::fromStdString(home.file("Tolvane/params.ovh")));
        }
    }
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(!initparams(sysparams, ui));
    QCOMPARE(ui.messages,
             std::vector<std::string>{"Canot open config file or invalid directory. Re-setup"});
    QVERIFY(ui.ended);
}

void SettingsTest::pathsAreReadWithoutSpaces() {
    SettingsRecord record = SettingsRecord::defaults();
    record.setPath(settings::gfilebox, "c:\\My Scripts\\arm one.txt");
    QCOMPARE(record.field(settings::gfilebox),
             std::string(7, ' ') + "c:\\My Scripts\\arm one.txt");
    QCOMPARE(record.gfilebox(), std::string("c:\\MyScripts\\armone.txt"));
    // A longer path keeps its rightmost 32 characters.
    record.setPath(settings::listfileloc, "c:\\a\\very\\long\\folder\\name\\that\\goes\\on.txt");
    QCOMPARE(record.listfileloc(), std::string("ong\\folder\\name\\that\\goes\\on.txt"));
    QCOMPARE(record.text().size(), size_t(512));
}

void SettingsTest::savingReplacesTheWholeFile() {
    TempHome home;
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(initparams(sysparams, ui));
    sysparams.setField(settings::combaud, "009600");
    QVERIFY(writeparams(sysparams, ui));
    const std::string file = readWholeFile(home.file("Tolvane/params.ovh"));
    QCOMPARE(file.size(), size_t(512));
    QCOMPARE(file.substr(101, 6), std::string("009600"));
    QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/params.ovh.new"))));
    SettingsRecord reread;
    QVERIFY(readparams(reread, ui));
    QCOMPARE(reread.combaud(), std::string("009600"));
}

void SettingsTest::savingWithoutAFileEndsTheProgram() {
    TempHome home;
    RecordingUi ui;
    QVERIFY(!writeparams(SettingsRecord::defaults(), ui));
    QCOMPARE(ui.messages, std::vector<std::string>{"Canot write parameter file. Re-setup"});
    QVERIFY(ui.ended);
}

void SettingsTest::failedSaveKeepsTheOldFile() {
    TempHome home;
    RecordingUi ui;
    SettingsRecord sysparams;
    QVERIFY(initparams(sysparams, ui));
    const std::string before = readWholeFile(home.file("Tolvane/params.ovh"));
    // The new file cannot be written where a folder of its name stands.
    QDir().mkpath(QString::fromStdString(home.file("Tolvane/params.ovh.new")));
    sysparams.setField(settings::comport, "05");
    QVERIFY(!writeparams(sysparams, ui));
    QCOMPARE(ui.messages, std::vector<std::string>{"Canot write parameter file. Re-setup"});
    QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")), before);
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
