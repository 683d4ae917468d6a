// Drive mapping and single-byte text files.
#include "platform/drivepath.h"
#include "platform/textfile.h"
#include "temphome.h"

#include <QTest>

using namespace pkivo;
using pkivo::test::readWholeFile;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

class TextFilesTest : public QObject {
    Q_OBJECT
private slots:
    void drivePathsMapOntoHome_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("relative"); // below HOME; empty: used as given
        auto row = [](const char* name, const char* given, const char* relative) {
            QTest::newRow(name) << QString(given) << QString(relative);
        };
        row("backslashes", "c:\\Tolvane\\kivo.txt", "Tolvane/kivo.txt");
        row("upper-case drive", "C:\\Tolvane\\list.txt", "Tolvane/list.txt");
        row("forward slashes", "c:/Tolvane/flash.tmp", "Tolvane/flash.tmp");
        row("existing names in any case", "c:\\TOLVANE\\flashda.FLA", "Tolvane/Flashda.fla");
        row("new name keeps its spelling", "c:\\tolvane\\New.TXT", "Tolvane/New.TXT");
        row("absolute unix path", "/tmp/x.txt", "");
        row("other drive", "d:\\Tolvane\\x", "");
    }
    void drivePathsMapOntoHome() {
        QFETCH(QString, given);
        QFETCH(QString, relative);
        TempHome home;
        writeWholeFile(home.file("Tolvane/Flashda.fla"), "x");
        const std::string mapped = mapDrivePath(given.toStdString());
        QCOMPARE(mapped,
                 relative.isEmpty() ? given.toStdString() : home.file(relative.toStdString()));
    }

    void readLineAcceptsEveryLineEnd_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("cr") << QByteArray("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("empty lines") << QByteArray("\r\n\n\r") << QStringList{"", "", ""};
        QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
        QTest::newRow("empty file") << QByteArray("") << QStringList{};
    }

    void readLineAcceptsEveryLineEnd() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        TempHome home;
        writeWholeFile(home.file("in.txt"), bytes.toStdString());
        TextReader reader;
        QVERIFY(reader.open(home.file("in.txt")));
        QStringList read;
        while (!reader.atEndOfStream()) {
            read << QString::fromStdString(reader.readLine());
        }
        QCOMPARE(read, lines);
    }

    void writeLineEndsWithCrLfAndKeepsEveryByte() {
        TempHome home;
        writeWholeFile(home.file("out.txt"), "old content, longer than the new");
        TextWriter writer;
        QVERIFY(writer.create("c:\\out.txt"));
        writer.writeLine(std::string("a\0\xff", 3));
        writer.write("b");
        writer.writeLine(std::string(100000, 'z'));
        QVERIFY(writer.close());
        QCOMPARE(readWholeFile(home.file("out.txt")),
                 std::string("a\0\xff\r\nb", 6) + std::string(100000, 'z') + "\r\n");
    }

    void missingFilesAndFoldersAreRefused() {
        TempHome home;
        TextReader reader;
        QVERIFY(!reader.open("c:\\Tolvane\\none.txt"));
        QVERIFY(!fileExists("c:\\Tolvane\\none.txt"));
        QVERIFY(!folderExists("c:\\Tolvane"));
        QVERIFY(createFolder("c:\\Tolvane"));
        QVERIFY(folderExists("c:\\tolvane"));
        // A folder is not a file, for reading or for writing.
        QVERIFY(!reader.open("c:\\Tolvane"));
        TextWriter writer;
        QVERIFY(!writer.create("c:\\Tolvane"));
    }
};

QTEST_GUILESS_MAIN(TextFilesTest)
#include "test_textfiles.moc"
