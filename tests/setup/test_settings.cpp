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
    std::string r = std::string(9, '0');        // 1-9
    r += "ane Version 2.04";                    // 10-25: "Tolvane Version 2.04" cut to 16
    r += std::string(24, '0');                  // 26-49
    r += "00200002000020000100002000020000200"; // 50-84
    r += "1";                                   // 85
    r += std::string(14, '0');                  // 86-99
    r += "00057600n81";                         // 100-110: port, baud, parity, bits, stop bits
    r += std::string(89, '0');                  // 111-199
    r += std::string(12, ' ') + "c:\\Tolvane\\flash.tmp";   // 200-231
    r += std::string(13, ' ') + "c:\\Tolvane\\kivo.txt";    // 232-263
    r += std::string(13, ' ') + "c:\\Tolvane\\list.txt";    // 264-295
    r += std::string(10, ' ') + "c:\\Tolvane\\Flashda.fla"; // 296-327
    r += std::string(185, '0');                             // 328-512
    return r;
}

// Makes `name` below `home`: a folder when it ends in '/', else a file holding `bytes`.
void put(const TempHome& home, const std::string& name, const std::string& bytes = "") {
    const QString path = QString::fromStdString(home.file(name));
    QDir().mkpath(name.ends_with('/') ? path : path.section('/', 0, -2));
    if (!name.ends_with('/')) {
        writeWholeFile(home.file(name), bytes);
    }
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheDefaultRecord() {
        TempHome home;
        RecordingUi ui;
        SettingsRecord sysparams;
        QVERIFY(initparams(sysparams, ui));
        QVERIFY(ui.messages.empty());
        const std::string file = readWholeFile(home.file("Tolvane/params.ovh"));
        QCOMPARE(QString::fromStdString(file), QString::fromStdString(expectedDefaultRecord()));
        QCOMPARE(sysparams.text(), file);
    }

    void existingRecordIsReadUpToItsFirstLineEnd_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("comport");
        QTest::addColumn<int>("length");
        const QByteArray record =
            QByteArray::fromStdString(SettingsRecord::defaults().text()).replace(99, 2, "03");
        auto row = [](const char* name, const QByteArray& content, const char* comport,
                      int length = 512) {
            QTest::newRow(name) << content << QString(comport) << length;
        };
        row("crlf after the record", record + "\r\ngarbage", "03");
        row("lf after the record", record + "\n", "03");
        // A hand-edited record cut short takes the default record's characters where it ends.
        row("cut after the port", record.left(101), "03");
        row("cut inside the port", record.left(100) + "\r\n", "00");
        row("empty first line", "\r\nrest", "00");
        row("longer record kept", record + "EXTRA", "03", 517);
    }
    // The folder and the file are found whatever the case of their names, and left as they are.
    void existingRecordIsReadUpToItsFirstLineEnd() {
        QFETCH(QByteArray, content);
        QFETCH(QString, comport);
        QFETCH(int, length);
        TempHome home;
        put(home, "tolvane/PARAMS.OVH", content.toStdString());
        RecordingUi ui;
        SettingsRecord sysparams;
        QVERIFY(initparams(sysparams, ui));
        QCOMPARE(QString::fromStdString(sysparams.comport()), comport);
        QCOMPARE(int(sysparams.text().size()), length);
        QCOMPARE(sysparams.listfileloc(), std::string("c:\\Tolvane\\list.txt"));
        QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane"))));
        QCOMPARE(readWholeFile(home.file("tolvane/PARAMS.OVH")), content.toStdString());
    }

    void unreadableFileEndsTheProgram_data() {
        QTest::addColumn<QString>("made"); // an empty file, or a folder ending in '/'
        QTest::newRow("empty params.ovh") << "Tolvane/params.ovh";
        QTest::newRow("Tolvane is a file") << "Tolvane";
        // System Setup's Read after the file was removed meanwhile: read without initparams.
        QTest::newRow("params.ovh gone before it is read again") << "Tolvane/";
    }
    void unreadableFileEndsTheProgram() {
        QFETCH(QString, made);
        TempHome home;
        put(home, made.toStdString());
        RecordingUi ui;
        SettingsRecord sysparams;
        QVERIFY(made.endsWith('/') ? !readparams(sysparams, ui) : !initparams(sysparams, ui));
        QCOMPARE(ui.messages,
                 std::vector<std::string>{"Canot open config file or invalid directory. Re-setup"});
        QVERIFY(ui.ended);
    }

    void pathsAreReadWithoutSpaces() {
        SettingsRecord record = SettingsRecord::defaults();
        record.setPath(settings::gfilebox, "c:\\My Scripts\\arm one.txt");
        QCOMPARE(record.field(settings::gfilebox),
                 std::string(7, ' ') + "c:\\My Scripts\\arm one.txt");
        QCOMPARE(record.gfilebox(), std::string("c:\\MyScripts\\armone.txt"));
        // A longer path keeps its rightmost 32 characters.
        record.setPath(settings::listfileloc,
                       "c:\\a\\very\\long\\folder\\name\\that\\goes\\on.txt");
        QCOMPARE(record.listfileloc(), std::string("ong\\folder\\name\\that\\goes\\on.txt"));
        QCOMPARE(record.text().size(), size_t(512));
    }

    void savingReplacesTheWholeFile_data() {
        QTest::addColumn<QStringList>("made"); // an old params.ovh, or a folder ending in '/'
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved") << QStringList{"Tolvane/params.ovh"} << true;
        QTest::newRow("no params.ovh") << QStringList{} << false;
        // The new file cannot be written where a folder of its name stands.
        QTest::newRow("params.ovh.new is a folder")
            << QStringList{"Tolvane/params.ovh", "Tolvane/params.ovh.new/"} << false;
    }
    // A failed save ends the program and leaves the old file as it was.
    void savingReplacesTheWholeFile() {
        QFETCH(QStringList, made);
        QFETCH(bool, saved);
        TempHome home;
        for (const QString& name : made) {
            put(home, name.toStdString(), "old\r\nsecond line");
        }
        const std::string before = readWholeFile(home.file("Tolvane/params.ovh"));
        SettingsRecord sysparams = SettingsRecord::defaults();
        sysparams.setField(settings::combaud, "009600");
        RecordingUi ui;
        QCOMPARE(writeparams(sysparams, ui), saved);
        QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")), saved ? sysparams.text() : before);
        QCOMPARE(ui.messages,
                 saved ? std::vector<std::string>{}
                       : std::vector<std::string>{"Canot write parameter file. Re-setup"});
        QCOMPARE(ui.ended, !saved);
        QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/params.ovh.new"))));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
