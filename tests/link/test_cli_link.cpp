// pkivo-cli's link commands end to end: the program run as a process against a controller on a
// pseudo-terminal linked as port 4.
#include "minicontroller.h"
#include "temphome.h"

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

using namespace pkivo;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
};

Run runCli(const test::TempHome& home, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home.path()));
    process.setProcessEnvironment(env);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(PKIVO_CLI, args);
    // The controller answers from this event loop while the command runs.
    loop.exec();
    return {process.exitCode(), QString::fromLatin1(process.readAllStandardOutput())};
}

} // namespace

class TestCliLink : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        const QString tail = QString(61 - 11, 'x') + "0H~";
        QTest::newRow("connect") << QStringList{"connect", "--port", "4"} << 0
                                 << " Version 1.23.   Port: 04\n";
        QTest::newRow("send-long") << QStringList{"send-long", "R1R", "--port", "4"} << 0
                                   << "OV0R1RREPLY" + tail + "\n0 No errors\n";
        QTest::newRow("send-short") << QStringList{"send-short", "OR0010DDH", "--port", "4"} << 0
                                    << "OR1234ABH\n0 No errors\n";
        QTest::newRow("no controller")
            << QStringList{"connect", "--port", "77"} << 1 << " Unknown\n";
        QTest::newRow("bad port") << QStringList{"connect", "--port", "x"} << 2 << "";
    }
    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        test::TempHome home;
        test::MiniController controller;
        QVERIFY(test::linkPortNumber(4, controller.peer.slavePath(), home.path()));
        Run run = runCli(home, args);
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCliLink)
#include "test_cli_link.moc"
