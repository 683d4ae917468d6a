// The in-process port over the virtual controller on virtual time, and the pkivo-sim command
// line.
#include "sim/simoptions.h"
#include "sim/simport.h"

#include <QTest>

using namespace pkivo::sim;
using pkivo::Millis;
using namespace std::chrono_literals;

class TestSimPort : public QObject {
    Q_OBJECT

private slots:
    void exchangeRunsOnVirtualTime();
    void silentControllerEndsTheWaitAtItsDeadline();
    void pacedPageReadTakesItsWireTime();
    void closedPortAndLostLine();
    void portSettings_data();
    void portSettings();
    void commandLine_data();
    void commandLine();
};

void TestSimPort::exchangeRunsOnVirtualTime() {
    SimulatedLine line;
    int activity = 0;
    line.port.setActivityHandler([&activity] { ++activity; });
    QVERIFY(line.port.open());
    QVERIFY(line.port.output("&"));
    QVERIFY(line.time.waitUntil([&] { return line.port.inBufferCount() >= 1; }, 2000ms));
    QCOMPARE(line.port.input(), std::string(":"));
    QVERIFY(line.port.output("-OE0007DDH"));
    QVERIFY(line.time.waitUntil([&] { return line.port.inBufferCount() >= 9; }, 6000ms));
    QCOMPARE(line.port.input(), std::string("OE000704H"));
    QCOMPARE(line.time.now(), 0ms);
    QVERIFY(activity >= 2);
}

void TestSimPort::silentControllerEndsTheWaitAtItsDeadline() {
    ProtocolOptions options;
    options.faults.silent = true;
    SimulatedLine line(options);
    line.port.open();
    for (int attempt = 0; attempt < 4; ++attempt) {
        line.port.output("&");
        const Millis deadline = line.time.now() + 2000ms;
        QVERIFY(!line.time.waitUntil([&] { return line.port.inBufferCount() >= 1; }, deadline));
        QCOMPARE(line.time.now(), deadline);
    }
    QCOMPARE(line.time.now(), 8000ms); // four attempts of 2 s
    QCOMPARE(line.protocol.counters().attentions, 4);
}

void TestSimPort::pacedPageReadTakesItsWireTime() {
    ProtocolOptions options;
    options.pace = true;
    SimulatedLine line(options);
    line.port.open();
    line.port.output("&");
    QVERIFY(line.time.waitUntil([&] { return line.port.inBufferCount() >= 1; }, 6000ms));
    line.port.input();
    std::string request = "$OV0R1400000xxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
    line.port.output(request);
    const Millis sent = line.time.now();
    QVERIFY(line.time.waitUntil([&] { return line.port.inBufferCount() >= 528; }, sent + 6000ms));
    const Millis took = line.time.now() - sent;
    QVERIFY2(took >= 100ms && took <= 105ms, std::to_string(took.count()).c_str());
    QCOMPARE(line.port.input(), std::string(528, 'F'));
}

void TestSimPort::closedPortAndLostLine() {
    SimulatedLine line;
    QVERIFY(!line.port.output("&")); // not open yet
    line.port.setOnlyPort(3);
    line.port.setCommPort(2);
    QVERIFY(!line.port.open());
    line.port.setCommPort(3);
    QVERIFY(line.port.open());
    line.port.loseLine();
    QVERIFY(line.port.lineLost());
    QVERIFY(!line.port.isOpen());
    QVERIFY(line.port.open());
    QVERIFY(!line.port.lineLost());
}

void TestSimPort::portSettings_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("valid");
    QTest::newRow("defaults") << "57600,n,8,1" << true;
    QTest::newRow("9600 even 7 2") << "9600,E,7,2" << true;
    QTest::newRow("no baud") << ",n,8,1" << false;
    QTest::newRow("parity x") << "57600,x,8,1" << false;
    QTest::newRow("9 data bits") << "57600,n,9,1" << false;
    QTest::newRow("three fields") << "57600,n,8" << false;
}

void TestSimPort::portSettings() {
    QFETCH(QString, settings);
    QFETCH(bool, valid);
    SimulatedLine line;
    QCOMPARE(line.port.setSettings(settings.toStdString()), valid);
}

void TestSimPort::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("summary"); // port/pace/baud/ignore/garble/delay/short/code/hang
    QTest::newRow("nothing") << QStringList{} << true << "-/0/57600/0/0/0/0/-/0";
    QTest::newRow("port and pace")
        << QStringList{"--port", "5", "--pace", "--baud", "9600"} << true << "5/1/9600/0/0/0/0/-/0";
    QTest::newRow("faults") << QStringList{"--ignore-attention", "1",    "--garble-attention", "2",
                                           "--reply-delay",      "7000", "--short-reply",      "40",
                                           "--error-code",       "X",    "--hang-up-after",    "2"}
                            << true << "-/0/57600/1/2/7000/40/X/2";
    QTest::newRow("port out of range") << QStringList{"--port", "0"} << false << "";
    QTest::newRow("port not a number") << QStringList{"--port", "com1"} << false << "";
    QTest::newRow("missing value") << QStringList{"--state"} << false << "";
    QTest::newRow("two-letter code") << QStringList{"--error-code", "XY"} << false << "";
    QTest::newRow("unknown option") << QStringList{"--fast"} << false << "";
}

void TestSimPort::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(QString, summary);
    std::vector<std::string> list;
    for (const QString& a : args) {
        list.push_back(a.toStdString());
    }
    SimOptions o;
    std::string error;
    QCOMPARE(parseSimArguments(list, o, error), ok);
    if (!ok) {
        QVERIFY(!error.empty());
        return;
    }
    const FaultOptions& f = o.protocol.faults;
    const QString got = QStringList{o.port ? QString::number(*o.port) : "-",
                                    QString::number(o.protocol.pace),
                                    QString::number(o.protocol.baud),
                                    QString::number(f.ignoreAttentions),
                                    QString::number(f.garbleAttentions),
                                    QString::number(f.replyDelay.count()),
                                    QString::number(f.shortReplyLength),
                                    f.resultCode ? QString(QChar(*f.resultCode)) : "-",
                                    QString::number(f.hangUpAfterPages)}
                            .join('/');
    QCOMPARE(got, summary);
}

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_simport.moc"
