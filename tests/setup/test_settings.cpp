// The settings record and params.ovh: the default file byte for byte, reading, saving, failures.
#include "recordingui.h"
#include "setup/settingsfile.h"
#include "setup/settingsrecord.h"
#include "temphome.h"

#include <QDir>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;
using S = std::string;

namespace {

// The default record, spelled out position by position.
S expectedDefaultRecord() {
    S r = S(9, '0');                              // 1-9
    r += "ane Version 2.04";                      // 10-25: "Tolvane Version 2.04" cut to 16
    r += S(24, '0');                              // 26-49
    r += "00200002000020000100002000020000200";   // 50-84
    r += "1";                                     // 85
    r += S(14, '0');                              // 86-99
    r += "00057600n81";                           // 100-110: port, baud, parity, bits, stop bits
    r += S(89, '0');                              // 111-199
    r += S(12, ' ') + "c:\\Tolvane\\flash.tmp";   // 200-231
    r += S(13, ' ') + "c:\\Tolvane\\kivo.txt";    // 232-263
    r += S(13, ' ') + "c:\\Tolvane\\list.txt";    // 264-295
    r += S(10, ' ') + "c:\\Tolvane\\Flashda.fla"; // 296-327
    return r + S(185, '0');                       // 328-512
}

// Makes `name` below `home`: a folder when it ends in '/', else a file holding `bytes`.
void put(const TempHome& home, const S& name, const S& bytes = "") {
    if (name.ends_with('/')) {
        QDir().mkpath(QString::fromStdString(home.file(name)));
    } else {
        writeWholeFile(home.file(name), bytes);
    }
}

// What is made below the home folder (see put()) holding what, and the com port read from it
// ("": the program ends) with the record's length.
struct Row {
    S made, content{}, comport{};
    int length = 512;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesTheDefaultRecord() {
        TempHome home;
        RecordingUi ui;
        SettingsRecord sysparams;
        QVERIFY(initparams(sysparams, ui));
        QVERIFY(ui.messages.empty());
        const S file = readWholeFile(home.file("Tolvane/params.ovh"));
        QCOMPARE(QString::fromStdString(file), QString::fromStdString(expectedDefaultRecord()));
        QCOMPARE(sysparams.text(), file);
    }

    void existingRecordIsReadUpToItsFirstLineEnd_data() {
        QTest::addColumn<Row>("row");
        const S record = S(SettingsRecord::defaults().text()).replace(99, 2, "03");
        const S file = "tolvane/PARAMS.OVH";
        QTest::newRow("crlf after the record") << Row{file, record + "\r\ngarbage", "03"};
        // A hand-edited record cut short takes the default record's characters where it ends.
        QTest::newRow("cut after the port") << Row{file, record.substr(0, 101), "03"};
        QTest::newRow("cut inside the port") << Row{file, record.substr(0, 100) + "\r\n", "00"};
        QTest::newRow("empty first line") << Row{file, "\r\nrest", "00"};
        QTest::newRow("longer record kept") << Row{file, record + "EXTRA", "03", 517};
        QTest::newRow("empty params.ovh") << Row{"Tolvane/params.ovh"};
        QTest::newRow("Tolvane is a file") << Row{"Tolvane"};
        // System Setup's Read after the file was removed meanwhile: read without initparams.
        QTest::newRow("params.ovh gone before it is read again") << Row{"Tolvane/"};
    }
    // The folder and the file are found whatever the case of their names, and left as they are;
    // a file that cannot be read ends the program.
    void existingRecordIsReadUpToItsFirstLineEnd() {
        QFETCH(Row, row);
        TempHome home;
        put(home, row.made, row.content);
        RecordingUi ui;
        SettingsRecord sysparams;
        const bool read =
            row.made.ends_with('/') ? readparams(sysparams, ui) : initparams(sysparams, ui);
        QCOMPARE(read, !row.comport.empty());
        QCOMPARE(ui.ended, !read);
        if (!read) {
            QCOMPARE(ui.messages,
                     std::vector<S>{"Canot open config file or invalid directory. Re-setup"});
            return;
        }
        QCOMPARE(sysparams.comport(), row.comport);
        QCOMPARE(int(sysparams.text().size()), row.length);
        QCOMPARE(sysparams.listfileloc(), S("c:\\Tolvane\\list.txt"));
        QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane"))));
        QCOMPARE(readWholeFile(home.file(row.made)), row.content);
    }

    void pathsAreReadWithoutSpaces() {
        SettingsRecord record = SettingsRecord::defaults();
        record.setPath(settings::gfilebox, "c:\\My Scripts\\arm one.txt");
        QCOMPARE(record.field(settings::gfilebox), S(7, ' ') + "c:\\My Scripts\\arm one.txt");
        QCOMPARE(record.gfilebox(), S("c:\\MyScripts\\armone.txt"));
        // A longer path keeps its rightmost 32 characters.
        record.setPath(settings::listfileloc,
                       "c:\\a\\very\\long\\folder\\name\\that\\goes\\on.txt");
        QCOMPARE(record.listfileloc(), S("ong\\folder\\name\\that\\goes\\on.txt"));
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
        const S before = readWholeFile(home.file("Tolvane/params.ovh"));
        SettingsRecord sysparams = SettingsRecord::defaults();
        sysparams.setField(settings::combaud, "009600");
        RecordingUi ui;
        QCOMPARE(writeparams(sysparams, ui), saved);
        QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")), saved ? sysparams.text() : before);
        QCOMPARE(ui.messages,
                 saved ? std::vector<S>{} : std::vector<S>{"Canot write parameter file. Re-setup"});
        QCOMPARE(ui.ended, !saved);
        QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/params.ovh.new"))));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_settings.moc"
