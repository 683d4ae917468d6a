// pkivo-cli's link commands end to end: two programs side by side, as a user runs them. The
// virtual controller pkivo-sim serves port 4 of a temporary home; pkivo-cli talks to it. Both
// find the home through HOME, which they inherit from this test.
#include "stdstringtesting.h"
#include "temphome.h"

#include <QProcess>

#include <filesystem>
#include <memory>

using namespace pkivo;

constexpr int timeoutMs = 10000;

namespace {

struct Command {
    QString args; // separated by spaces
    int exitCode;
    std::string out;
    bool part = false;
};

} // namespace

Q_DECLARE_METATYPE(Command)

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

    // Every command but "bad port" and "no controller" runs on port 4; `out` is all of the
    // output, or a part of it where `part` is set.
    void commands_data() {
        QTest::addColumn<Command>("c");
        row("connect", "connect", 0, " Version SIM 1   Port: 04\n");
        row("send-long R02 shows the version", "send-long R02", 0,
            "OV0R02Version SIM 1DDDDDDDDDDDDDDDDDDDDDDDDDDDDxxx000x000000x0H~\n"
            "S/W Version: Version SIM 1\n0 No errors\n");
        row("send-short", "send-short OR0010DDH", 0, "OR001005H\n0 No errors\n");
        row("mem write eeprom", "mem write eeprom 300 7 200", 0,
            "300 7 7\n301 200 C8\n0 No errors\n");
        row("mem read eeprom, what was written", "mem read eeprom 300 2", 0,
            "300 7 7\n301 200 C8\n0 No errors\n");
        row("mem write of 256 sends nothing", "mem write ram 0 256", 2);
        row("mem read at 70000 sends nothing", "mem read ram 70000", 2);
        row("speed put", "speed put 32007 10 20 30 40 50 60 70 80 1 2 3 4 5 6 7 8", 0,
            "0 No errors\n");
        row("speed get, what was put", "speed get 32007", 0,
            "010 020 030 040 050 060 070 080\n001 002 003 004 005 006 007 008\n0 No errors\n");
        row("no controller", "connect --port 77", 1, " Unknown\n");
        row("bad port", "connect --port x", 2);
        // The labels are the window's; its decoding is tested on its own.
        row("params", "params", 0,
            "Servo8: on\nReport: on\nReport Rate: 4\n"
            "Use limit controls: off\nMinimum: 500\nMaximum: 2500\n"
            "Program & Position Storage: Seperate\n",
            true);
        row("params set refuses 300 and sends nothing", "params set ReportRate=300", 2);
        row("position put", "position put 7 1000 1200 65535 65535 65535 65535 65535 2000", 0,
            "0 No errors\n");
        row("position get", "position get 7", 0,
            "01000 01200 65535 65535 65535 65535 65535 02000\n0 No errors\n");
        row("position move", "position move 7", 0,
            "01000 01200 65535 65535 65535 65535 65535 02000\n0 No errors\n");
        row("position current, after the move", "position current", 0,
            "1000 1200 1500 1500 1500 1500 1500 2000\n0 No errors\n");
        row("jog", "jog 3 +2", 0, "1501\n1502\n0 No errors\n");
        row("output", "output 12 on", 0, "0 No errors\n");
        row("record put", "record put 200 0A0100640105DC000000000000000000", 0, "0 No errors\n");
        row("record get", "record get 200", 0, "0A0100640105DC000000000000000000\n0 No errors\n");
        row("packed put",
            "packed put 300 3C01271031F4FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", 0,
            "0 No errors\n");
        row("packed get", "packed get 300", 0,
            "3C01271031F4FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n0 No errors\n");
        row("flash-read refused range", "flash-read 0 2048", 1);
        row("flash-read", "flash-read 5 6 c:\\pages.fla", 0, "5  (1 of 2)\n6  (2 of 2)\nOK\n");
        row("flash-write", "flash-write c:\\pages.fla", 0,
            "00005  (1 of 2)\n00006  (2 of 2)\nOK\n");
        row("flash-erase without a terminal", "flash-erase", 1);
        row("flash-erase --yes", "flash-erase --yes", 0,
            "OV0R17SSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~\nOK\n");
    }

    void commands() {
        QFETCH(Command, c);
        QProcess cli;
        const QStringList args = c.args.split(' ');
        cli.start(PKIVO_CLI, args.contains("--port") ? args : args + QStringList{"--port", "4"});
        QVERIFY(cli.waitForFinished(timeoutMs));
        const std::string out = cli.readAllStandardOutput().toStdString();
        if (c.part) {
            QVERIFY2(out.find(c.out) != std::string::npos, out.c_str());
        } else {
            QCOMPARE(out, c.out);
        }
        QCOMPARE(cli.exitCode(), c.exitCode);
    }

    // A program that never ends streams status records on a line paced at 2400 baud, where a
    // record takes 100 ms: the monitor, the connect check that every command starts with, and Stop
    // must all get through it.
    void stopGetsThroughTheStatusStreamAt2400Baud() {
        // A command on port 5; one still running after `waitMs`, the monitor, is ended there.
        auto run = [&](const QStringList& args, int waitMs = timeoutMs) {
            auto cli = std::make_unique<QProcess>();
            cli->start(PKIVO_CLI,
                       args.first() == "convert" ? args : args + QStringList{"--port", "5"});
            if (!cli->waitForFinished(waitMs)) {
                cli->kill();
                cli->waitForFinished();
            }
            return cli;
        };
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
        QVERIFY(run({"monitor"}, 1500)->readAllStandardOutput().contains("Running"));
        const auto stop = run({"stop"});
        QCOMPARE(stop->readAllStandardOutput().toStdString(), std::string("0 No errors\n"));
        QCOMPARE(stop->exitCode(), 0);
        // Stopped: nothing runs any more.
        QVERIFY(!run({"monitor"}, 1500)->readAllStandardOutput().contains("Running"));
        controller.terminate();
        QVERIFY(controller.waitForFinished(timeoutMs));
    }

    // The controller goes away while `run` listens and comes back on the same port: the
    // command says so, reconnects, shows the version again and listens on.
    void runReconnectsWhenTheControllerComesBack() {
        const QStringList simArgs{"--port", "6", "--state",
                                  QString::fromStdString(m_home->file("back.state"))};
        auto sim = std::make_unique<QProcess>();
        sim->start(PKIVO_SIM, simArgs);
        QVERIFY(sim->waitForReadyRead(timeoutMs));
        QProcess cli;
        cli.start(PKIVO_CLI, {"run", "--port", "6"});
        std::string out;
        auto outUntil = [&](const std::string& text) {
            while (out.find(text) == std::string::npos && cli.waitForReadyRead(timeoutMs)) {
                out += cli.readAllStandardOutput().toStdString();
            }
            return out.find(text) != std::string::npos;
        };
        QVERIFY2(outUntil("0 No errors\n"), out.c_str());
        sim->terminate();
        QVERIFY(sim->waitForFinished(timeoutMs));
        QVERIFY2(outUntil("Reconnecting\xE2\x80\xA6\n"), out.c_str());
        sim = std::make_unique<QProcess>();
        sim->start(PKIVO_SIM, simArgs);
        QVERIFY(sim->waitForReadyRead(timeoutMs));
        QVERIFY2(outUntil("Reconnecting\xE2\x80\xA6\n Version SIM 1   Port: 06\n"), out.c_str());
        cli.kill(); // reconnected: no need to wait out the 6 s of silence that end the monitor
        cli.waitForFinished();
        sim->terminate();
        QVERIFY(sim->waitForFinished(timeoutMs));
    }

private:
    static void row(const char* name, const char* args, int exitCode, const std::string& out = {},
                    bool part = false) {
        QTest::newRow(name) << Command{args, exitCode, out, part};
    }

    std::unique_ptr<test::TempHome> m_home;
    QProcess m_controller;
};

QTEST_GUILESS_MAIN(TestCliLink)
#include "test_cli_link.moc"
