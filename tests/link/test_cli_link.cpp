// pkivo-cli's link commands end to end: two programs side by side, as a user runs them. The
// virtual controller pkivo-sim serves port 4 of a temporary home; pkivo-cli talks to it. Both
// find the home through HOME, which they inherit from this test.
#include "stdstringtesting.h"
#include "temphome.h"

#include <QProcess>
#include <QTest>

#include <filesystem>
#include <memory>

using namespace pkivo;

constexpr int timeoutMs = 10000;

class TestCliLink : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_home = std::make_unique<test::TempHome>();
        // Ports 1 to 3 would be the machine's own serial ports: link them to nothing, so that the
        // port search cannot touch them.
        const std::string ports = m_home->file(".config/pkivo/dosdevices");
        std::filesystem::create_directories(ports);
        for (int n = 1; n <= 3; ++n) {
            std::filesystem::create_symlink(m_home->file("no-such-device"),
                                            ports + "/com" + std::to_string(n));
        }
        m_controller.start(PKIVO_SIM, {"--port", "4"});
        QVERIFY(m_controller.waitForReadyRead(timeoutMs));
        // It has linked com4 once it says so.
        const QString banner = QString::fromLatin1(m_controller.readLine());
        QVERIFY2(banner.startsWith("pkivo-sim: serving COM4 on /dev/pts/"), qPrintable(banner));
    }

    void cleanupTestCase() {
        // SIGTERM: the controller removes its link and saves its state on the way out.
        m_controller.terminate();
        QVERIFY(m_controller.waitForFinished(timeoutMs));
        QCOMPARE(m_controller.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_controller.exitCode(), 0);
        QVERIFY(!std::filesystem::exists(m_home->file(".config/pkivo/dosdevices/com4")));
        m_home.reset();
    }

    void commands_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<std::string>("out");
        QTest::newRow("connect") << QStringList{"connect", "--port", "4"} << 0
                                 << std::string(" Version SIM 1   Port: 04\n");
        QTest::newRow("connect by search") << QStringList{"connect", "--port", "0"} << 0
                                           << std::string(" Version SIM 1   Port: 4\n");
        QTest::newRow("send-long R1R")
            << QStringList{"send-long", "R1R", "--port", "4"} << 0
            << "OV0R1R00000" + std::string("040000000000000401F409C4FF000000") +
                   "DDDDxxx000x000000x0H~\n0 No errors\n";
        QTest::newRow("send-long R02 shows the version")
            << QStringList{"send-long", "R02", "--port", "4"} << 0
            << "OV0R02Version SIM 1" + std::string(28, 'D') +
                   "xxx000x000000x0H~\nS/W Version: Version SIM 1\n0 No errors\n";
        // The window's rule: a refused command shows the error text, not the reply.
        QTest::newRow("send-long unknown code")
            << QStringList{"send-long", "R99", "--port", "4"} << 1
            << std::string("Error - No or invalad Data received\nX Invalid Instruction sent\n");
        QTest::newRow("send-short") << QStringList{"send-short", "OR0010DDH", "--port", "4"} << 0
                                    << std::string("OR001005H\n0 No errors\n");
        QTest::newRow("mem write eeprom")
            << QStringList{"mem", "write", "eeprom", "300", "7", "200", "--port", "4"} << 0
            << std::string("300 7 7\n301 200 C8\n0 No errors\n");
        QTest::newRow("mem read eeprom, what was written")
            << QStringList{"mem", "read", "eeprom", "300", "2", "--port", "4"} << 0
            << std::string("300 7 7\n301 200 C8\n0 No errors\n");
        QTest::newRow("mem write of 256 sends nothing")
            << QStringList{"mem", "write", "ram", "0", "256", "--port", "4"} << 2 << std::string();
        QTest::newRow("mem read at 70000 sends nothing")
            << QStringList{"mem", "read", "ram", "70000", "--port", "4"} << 2 << std::string();
        QTest::newRow("no controller")
            << QStringList{"connect", "--port", "77"} << 1 << std::string(" Unknown\n");
        QTest::newRow("bad port") << QStringList{"connect", "--port", "x"} << 2 << std::string();
        QTest::newRow("params") << QStringList{"params", "--port", "4"} << 0
                                << std::string("Servo1: on\nServo2: on\nServo3: on\nServo4: on\n"
                                               "Servo5: on\nServo6: on\nServo7: on\nServo8: on\n"
                                               "Report: on\nReport Rate: 4\n"
                                               "Use limit controls: off\nMinimum: 500\n"
                                               "Maximum: 2500\n"
                                               "Program & Position Storage: Seperate\n"
                                               "Run on Powerup: off\nPush Button control: off\n"
                                               "Hardware control: off\n"
                                               "LCP (I/O 4) is Input: off\n");
        QTest::newRow("params set refuses 300 and sends nothing")
            << QStringList{"params", "set", "Report Rate=300", "--port", "4"} << 2 << std::string();
        QTest::newRow("flash-read refused range")
            << QStringList{"flash-read", "0", "2048", "--port", "4"} << 1 << std::string();
        QTest::newRow("flash-read")
            << QStringList{"flash-read", "5", "6", "c:\\pages.fla", "--port", "4"} << 0
            << std::string("5  (1 of 2)\n6  (2 of 2)\nOK\n");
        QTest::newRow("flash-write") << QStringList{"flash-write", "c:\\pages.fla", "--port", "4"}
                                     << 0 << std::string("00005  (1 of 2)\n00006  (2 of 2)\nOK\n");
        QTest::newRow("flash-erase without a terminal")
            << QStringList{"flash-erase", "--port", "4"} << 1 << std::string();
        QTest::newRow("flash-erase --yes")
            << QStringList{"flash-erase", "--yes", "--port", "4"} << 0
            << "OV0R17SSSSxxxxx" + std::string(32, 'D') + std::string(14, 'x') + "0H~\nOK\n";
    }

    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(std::string, out);
        QProcess cli;
        cli.start(PKIVO_CLI, args);
        QVERIFY(cli.waitForFinished(timeoutMs));
        QCOMPARE(cli.readAllStandardOutput().toStdString(), out);
        QCOMPARE(cli.exitCode(), exitCode);
    }

    // A program that never ends streams status records on a line paced at 2400 baud, where a
    // record takes 100 ms: the monitor, the connect check that every command starts with, and Stop
    // must all get through it.
    void stopGetsThroughTheStatusStreamAt2400Baud() {
        auto run = [&](const QStringList& args, int waitMs = timeoutMs) {
            auto cli = std::make_unique<QProcess>();
            cli->start(PKIVO_CLI,
                       args.first() == "convert" ? args : args + QStringList{"--port", "5"});
            cli->waitForFinished(waitMs);
            return cli;
        };
        std::filesystem::create_directories(m_home->file("Tolvane"));
        test::writeWholeFile(m_home->file("Tolvane/kivo.txt"),
                             "START:\r\nWAIT 100\r\nGOTO START:\r\n");
        QCOMPARE(run({"convert"})->exitCode(), 0);
        // The console's line at the controller's pace.
        std::string params = test::readWholeFile(m_home->file("Tolvane/params.ovh"));
        params.replace(101, 6, "002400");
        test::writeWholeFile(m_home->file("Tolvane/params.ovh"), params);

        QProcess controller;
        controller.start(PKIVO_SIM, {"--port", "5", "--pace", "--baud", "2400", "--state",
                                     QString::fromStdString(m_home->file("slow.state"))});
        QVERIFY(controller.waitForReadyRead(timeoutMs));
        QVERIFY(run({"download"}, 30000)->readAllStandardOutput().endsWith("OK\n"));
        QCOMPARE(run({"run", "--no-monitor"})->exitCode(), 0);
        const auto monitor = run({"monitor"}, 1500);
        QVERIFY(monitor->readAllStandardOutput().contains("Running"));
        monitor->kill();
        monitor->waitForFinished();
        const auto stop = run({"stop"});
        QCOMPARE(stop->readAllStandardOutput().toStdString(), std::string("0 No errors\n"));
        QCOMPARE(stop->exitCode(), 0);
        // Stopped: nothing runs any more.
        const auto after = run({"monitor"}, 1500);
        QVERIFY(!after->readAllStandardOutput().contains("Running"));
        after->kill();
        after->waitForFinished();
        controller.terminate();
        QVERIFY(controller.waitForFinished(timeoutMs));
    }

private:
    std::unique_ptr<test::TempHome> m_home;
    QProcess m_controller;
};

QTEST_GUILESS_MAIN(TestCliLink)
#include "test_cli_link.moc"
