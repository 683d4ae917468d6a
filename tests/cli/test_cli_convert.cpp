// pkivo-cli's commands that need no controller (convert, setup, --help, usage errors), run as a
// user would: a separate process in a fresh home.
#include "temphome.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using pkivo::test::readWholeFile;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

class CliConvertTest : public QObject {
    Q_OBJECT
private slots:
    void commandsEndWithTheirExitCode_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("script"); // the example script is in the working folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // part of what the command printed
        const QStringList convert{"convert"};
        QTest::newRow("convert the example")
            << convert << true << 0 << "Number of Errors & Warnings 0\n";
        QTest::newRow("convert without a script")
            << convert << false << 1
            << "Processing Error or Canot open Kivo or temp File Line#:0\n"
               "Processing Error or Canot open Kivo or temp File Line#:0\n";
        QTest::newRow("setup show")
            << QStringList{"setup"} << false << 0 << "comport=00\ncombaud=057600\ncomparity=n\n";
        QTest::newRow("setup set, as Save fills")
            << QStringList{"setup", "set", "comport=7", "combaud=", "comother=ABCD0123456789012345"}
            << false << 0
            << "comport=07\ncombaud=038400\ncomparity=n\ncombits=8\n"
               "comstopbits=1\ncomother=0123456789012345\n";
        QTest::newRow("setup set, unknown field")
            << QStringList{"setup", "set", "speed=1"} << false << 2 << "is not FIELD=VALUE";
        QTest::newRow("run at a line that is not one")
            << QStringList{"run", "abc"} << false << 2 << "usage: pkivo-cli run";
        QTest::newRow("help") << QStringList{"--help"} << false << 0 << "convert";
        QTest::newRow("no command") << QStringList{} << false << 2 << "usage: pkivo-cli";
        QTest::newRow("unknown command")
            << QStringList{"fly"} << false << 2 << "unknown command 'fly'";
        QTest::newRow("extra argument")
            << QStringList{"convert", "x"} << false << 2 << "usage: pkivo-cli convert";
    }

    void commandsEndWithTheirExitCode() {
        QFETCH(QStringList, args);
        QFETCH(bool, script);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        TempHome home; // empty: a first run creates the folder and the settings
        if (script) {
            writeWholeFile(home.file("Tolvane/kivo.txt"),
                           readWholeFile(std::string(PKIVO_EXAMPLES) + "/kivo.txt"));
        }
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(home.path()));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(PKIVO_CLI, args);
        QVERIFY(process.waitForFinished(30000));
        const QString printed = QString::fromLatin1(process.readAll());
        QCOMPARE(process.exitCode(), exitCode);
        QVERIFY2(printed.contains(output), qPrintable(printed));
        QVERIFY(!printed.contains('\r'));
        QCOMPARE(printed.contains("REPORT"), exitCode == 0 && args == QStringList{"convert"});
        if (args.startsWith("setup") && args.value(1) == "set" && exitCode == 0) {
            QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")).substr(99, 8),
                     std::string("07038400"));
        }
        if (args == QStringList{"convert"}) {
            QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")).size(), size_t(512));
            QCOMPARE(QFile::exists(QString::fromStdString(home.file("Tolvane/flash.tmp"))),
                     exitCode == 0);
        }
    }
};

QTEST_GUILESS_MAIN(CliConvertTest)
#include "test_cli_convert.moc"
