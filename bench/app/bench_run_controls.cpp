// Stop, Pause, the monitor and the connect check while a program that never ends streams its
// status records: the virtual controller on a pseudo-terminal in this process, pacing its line,
// and the real pkivo-cli (and the main window's Stop button) against it.
// For each line (2400, 9600, 57,600 baud at the board's default report rate, and 57,600 baud at
// 100 records a second) every action is tried REPEATS times in a row (default 20), each time
// after `pkivo-cli run --no-monitor` and a moment of streaming:
//   stop, pause  exit 0 and the controller stopped (paused);
//   monitor      prints a "Running" record (then it is ended);
//   connect      exit 0 and names the controller;
//   window Stop  the main window's Stop clicked: nothing shown beside the run buttons, and the
//                controller stopped.
// Usage: bench_run_controls [REPEATS]. Runs offscreen; prints figures, asserts nothing.
#include "benchdesk.h"
#include "console/console.h"
#include "console/runcommands.h"
#include "link/packets.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "platform/uiservices.h"
#include "setup/settingsfile.h"
#include "sim/pty/ptyserver.h"
#include "ui/kivocon.h"
#include "ui/windowset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace pkivo;

namespace {

struct QuietUi : UiServices {
    void messageBox(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string&) override { return false; }
    void endProgram() override {}
    std::vector<std::string> messages;
};

struct Line {
    int baud;
    int rate; // records a second; 0 is the board's default (4)
};

struct Tally {
    int ok = 0;
    int tried = 0;
    std::vector<double> seconds;
    void add(bool success, double s) {
        ok += success ? 1 : 0;
        ++tried;
        seconds.push_back(s);
    }
};

// Lets the event loop (and with it the controller) run for `ms`.
void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct CliRun {
    int exitCode = -1;
    QString output;
    double seconds = 0;
};

// Runs pkivo-cli with `args`; with `untilLine` it is ended as soon as a line containing that
// text appears (or after 5 s).
CliRun cli(const QStringList& args, const QString& untilLine = {}) {
    QProcess process;
    CliRun run;
    QElapsedTimer elapsed;
    elapsed.start();
    process.start(PKIVO_CLI, args);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    if (!untilLine.isEmpty()) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
            run.output += QString::fromLatin1(process.readAllStandardOutput());
            if (run.output.contains(untilLine)) {
                loop.quit();
            }
        });
    }
    QTimer::singleShot(untilLine.isEmpty() ? 60000 : 5000, &loop, &QEventLoop::quit);
    loop.exec();
    run.seconds = double(elapsed.nsecsElapsed()) / 1e9;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    } else {
        run.exitCode = process.exitCode();
    }
    run.output += QString::fromLatin1(process.readAllStandardOutput());
    return run;
}

void writeSettings(const Line& line, int portNumber) {
    QuietUi ui;
    SettingsRecord sysparams;
    initparams(sysparams, ui);
    sysparams.setField(settings::comport,
                       QString("%1").arg(portNumber, 2, 10, QChar('0')).toStdString());
    sysparams.setField(settings::combaud,
                       QString("%1").arg(line.baud, 6, 10, QChar('0')).toStdString());
    writeparams(sysparams, ui);
}

void loadEndlessProgram(sim::Machine& machine, int rate) {
    auto params = sim::BoardParams::defaults();
    params[sim::BoardParams::reportRateByte] = uint8_t(rate);
    machine.storeParams(params);
    sim::FlashMemory::Record goto0;
    goto0.fill(0xFF);
    goto0[0] = 0x0A; // GOTO line 0
    goto0[1] = 0xFF;
    goto0[2] = 0x00;
    goto0[3] = 0x00;
    machine.writeRecord(0, goto0);
}

void print(const char* what, const Tally& t) {
    std::vector<double> s = t.seconds;
    std::sort(s.begin(), s.end());
    std::printf("  %-12s %2d of %2d  median %.3f s  slowest %.3f s\n", what, t.ok, t.tried,
                s.empty() ? 0.0 : s[s.size() / 2], s.empty() ? 0.0 : s.back());
}

} // namespace

int main(int argc, char** argv) {
    bench::OffscreenHome home;
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::vector<Line> lines{{2400, 0}, {9600, 0}, {57600, 0}, {57600, 100}};

    for (const Line& line : lines) {
        const auto server = bench::startController(true, line.baud);
        sim::PtyServer& controller = *server;
        sim::Machine& machine = controller.machine();
        loadEndlessProgram(machine, line.rate);
        writeSettings(line, controller.portNumber());
        const QString port = QString::number(controller.portNumber());
        std::printf("%d baud, %s:\n", line.baud,
                    line.rate == 0 ? "default report rate"
                                   : qPrintable(QString("%1 records a second").arg(line.rate)));

        Tally stop, pause, monitor, connect, windowStop;
        for (int i = 0; i < repeats; ++i) {
            for (Tally* tally : {&stop, &pause, &monitor, &connect}) {
                cli({"run", "--no-monitor"});
                spin(100 + 37 * i % 400); // step into the stream at a different moment
                if (tally == &stop || tally == &pause) {
                    const bool stopping = tally == &stop;
                    const CliRun r = cli({stopping ? "stop" : "pause"});
                    spin(50);
                    const bool done = r.exitCode == 0 && machine.runner().running() != stopping &&
                                      machine.runner().paused() != stopping;
                    tally->add(done, r.seconds);
                } else if (tally == &monitor) {
                    const CliRun r = cli({"monitor"}, "Running");
                    tally->add(r.output.contains("Running"), r.seconds);
                } else {
                    const CliRun r = cli({"connect"});
                    tally->add(r.exitCode == 0 && r.output.contains("Version"), r.seconds);
                }
            }
        }
        cli({"stop"});

        QuietUi ui;
        QtSerialPort serial;
        EventLoopWaiter waiter;
        Console program(serial, waiter, ui);
        WindowSet windows(program);
        initparams(program.sysparams, ui);
        {
            Kivocon& window = windows.show<Kivocon>();
            window.startUp();
            auto* stopall = window.findChild<QPushButton*>("stopall");
            auto* runResult = window.findChild<QLabel*>("runResult");
            for (int i = 0; i < repeats; ++i) {
                sendRunCommand(program.link, packet::runProgram(0));
                spin(100 + 37 * i % 400);
                QElapsedTimer elapsed;
                elapsed.start();
                QTest::mouseClick(stopall, Qt::LeftButton);
                const double seconds = double(elapsed.nsecsElapsed()) / 1e9;
                // The packet takes up to 280 ms on the line at 2400 baud.
                spin(600);
                if (!runResult->text().isEmpty() || machine.runner().running()) {
                    std::printf("    window Stop: \"%s\", %s\n", qPrintable(runResult->text()),
                                machine.runner().running() ? "running" : "stopped");
                }
                windowStop.add(runResult->text().isEmpty() && !machine.runner().running(), seconds);
            }
            window.close();
        }
        serial.close();
        print("stop", stop);
        print("pause", pause);
        print("monitor", monitor);
        print("connect", connect);
        print("window Stop", windowStop);
        std::fflush(stdout);
        controller.stop();
    }
    return 0;
}
