// Drive mapping and single-byte text files.
#include "platform/drivepath.h"
#include "platform/textfile.h"
#include "temphome.h"

#include <QDir>
#include <QTest>

using namespace pkivo;
using pkivo::test::readWholeFile;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

class TextFilesTest : public QObject {
    Q_OBJECT
private slots:
    void drivePathsMapOntoHome_data();
    void drivePathsMapOntoHome();
    void existingComponentsMatchWhateverTheCase();
    void readLineAcceptsEveryLineEnd_data();
    void readLineAcceptsEveryLineEnd();
    void writeLineEndsWithCrLfAndKeepsEveryByte();
    void createOverwritesAndFailsOnAFolder();
    void missingFileCannotBeOpened();
};

void TextFilesTest::drivePathsMapOntoHome_data() {
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("relative"); // below HOME; empty means "used as given"
    QTest::newRow("backslashes") << "c:\\Tolvane\\kivo.txt" << "Tolvane/kivo.txt";
    QTest::newRow("upper-case drive") << "C:\\Tolvane\\list.txt" << "Tolvane/list.txt";
    QTest::newRow("forward slashes") << "c:/Tolvane/flash.tmp" << "Tolvane/flash.tmp";
    QTest::newRow("drive alone") << "c:\\" << "";
    QTest::newRow("absolute unix path") << "/tmp/x.txt" << "-";
    QTest::newRow("other drive") << "d:\\Tolvane\\x" << "-";
}

void TextFilesTest::drivePathsMapOntoHome() {
    QFETCH(QString, given);
    QFETCH(QString, relative);
    TempHome home;
    std::string mapped = mapDrivePath(given.toStdString());
    if (relative == "-") {
        QCOMPARE(mapped, given.toStdString());
    } else if (relative.isEmpty()) {
        QCOMPARE(QDir(QString::fromStdString(mapped)).canonicalPath(),
                 QDir(QString::fromStdString(home.path())).canonicalPath());
    } else {
        QCOMPARE(mapped, home.file(relative.toStdString()));
    }
}

void TextFilesTest::existingComponentsMatchWhateverTheCase() {
    TempHome home;
    QVERIFY(QDir().mkpath(QString::fromStdString(home.file("Tolvane"))));
    writeWholeFile(home.file("Tolvane/Flashda.fla"), "x");
    QCOMPARE(mapDrivePath("c:\\tolvane\\flashda.fla"), home.file("Tolvane/Flashda.fla"));
    QCOMPARE(mapDrivePath("c:\\TOLVANE\\FLASHDA.FLA"), home.file("Tolvane/Flashda.fla"));
    // A file that does not exist yet keeps the spelling given, in the folder that does exist.
    QCOMPARE(mapDrivePath("c:\\tolvane\\New.TXT"), home.file("Tolvane/New.TXT"));
    QVERIFY(fileExists("c:\\tolvane\\FLASHDA.fla"));
}

void TextFilesTest::readLineAcceptsEveryLineEnd_data() {
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

void TextFilesTest::readLineAcceptsEveryLineEnd() {
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

void TextFilesTest::writeLineEndsWithCrLfAndKeepsEveryByte() {
    TempHome home;
    TextWriter writer;
    QVERIFY(writer.create("c:\\out.txt"));
    writer.writeLine(std::string("a\0\xff", 3));
    writer.write("b");
    writer.writeLine(std::string(100000, 'z'));
    QVERIFY(writer.close());
    QCOMPARE(readWholeFile(home.file("out.txt")),
             std::string("a\0\xff\r\nb", 6) + std::string(100000, 'z') + "\r\n");
}

void TextFilesTest::createOverwritesAndFailsOnAFolder() {
    TempHome home;
    writeWholeFile(home.file("f.txt"), "old content");
    TextWriter writer;
    QVERIFY(writer.create(home.file("f.txt")));
    writer.write("new");
    QVERIFY(writer.close());
    QCOMPARE(readWholeFile(home.file("f.txt")), std::string("new"));
    QVERIFY(QDir().mkpath(QString::fromStdString(home.file("folder"))));
    QVERIFY(!writer.create(home.file("folder")));
    TextReader reader;
    QVERIFY(!reader.open(home.file("folder")));
}

void TextFilesTest::missingFileCannotBeOpened() {
    TempHome home;
    TextReader reader;
    QVERIFY(!reader.open("c:\\Tolvane\\none.txt"));
    QVERIFY(!fileExists("c:\\Tolvane\\none.txt"));
    QVERIFY(!folderExists("c:\\Tolvane"));
    QVERIFY(createFolder("c:\\Tolvane"));
    QVERIFY(folderExists("c:\\tolvane"));
}

QTEST_GUILESS_MAIN(TextFilesTest)
#include "test_textfiles.moc"
