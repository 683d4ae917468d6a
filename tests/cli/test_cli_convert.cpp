// pkivo-cli convert and --help, run as a user would: a separate process in a fresh home.
#include "temphome.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using pkivo::test::readWholeFile;
using pkivo::test::TempHome;
using pkivo::test::writeWholeFile;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCli(const TempHome& home, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home.path()));
    process.setProcessEnvironment(env);
    process.start(PKIVO_CLI, args);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput()),
            QString::fromLatin1(process.readAllStandardError())};
}

} // namespace

class CliConvertTest : public QObject {
    Q_OBJECT
private slots:
    void convertsTheSampleInAFreshHome();
    void missingScriptIsAProcessingError();
    void usageErrors_data();
    void usageErrors();
};

void CliConvertTest::convertsTheSampleInAFreshHome() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    writeWholeFile(home.file("Tolvane/kivo.txt"),
                   readWholeFile(std::string(PKIVO_EXAMPLES) + "/kivo.txt"));
    Run run = runCli(home, {"convert"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QString("***************** REPORT ****************"));
    QVERIFY(lines[1].startsWith("Number of good lines "));
    QCOMPARE(lines[3], QString("Number of Errors & Warnings 0"));
    QCOMPARE(readWholeFile(home.file("Tolvane/params.ovh")).size(), size_t(512));
    const std::string flash = readWholeFile(home.file("Tolvane/flash.tmp"));
    QVERIFY(!flash.empty());
    QCOMPARE(flash.size() % 535, size_t(0));
    QVERIFY(readWholeFile(home.file("Tolvane/list.txt")).find("***************** REPORT") !=
            std::string::npos);
}

void CliConvertTest::missingScriptIsAProcessingError() {
    TempHome home; // empty: the first run creates the folder and the settings
    Run run = runCli(home, {"convert"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QString("Processing Error or Canot open Kivo or temp File Line#:0\n"
                              "Processing Error or Canot open Kivo or temp File Line#:0\n"));
    QVERIFY(QFile::exists(QString::fromStdString(home.file("Tolvane/params.ovh"))));
    QVERIFY(!QFile::exists(QString::fromStdString(home.file("Tolvane/flash.tmp"))));
}

void CliConvertTest::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expectedOutput");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "convert";
    QTest::newRow("no command") << QStringList{} << 2 << "usage: pkivo-cli";
    QTest::newRow("unknown command") << QStringList{"fly"} << 2 << "unknown command 'fly'";
    QTest::newRow("extra argument") << QStringList{"convert", "x"} << 2 << "usage:";
}

void CliConvertTest::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, expectedOutput);
    TempHome home;
    Run run = runCli(home, args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2((run.out + run.err).contains(expectedOutput), qPrintable(run.out + run.err));
}

QTEST_GUILESS_MAIN(CliConvertTest)
#include "test_cli_convert.moc"
