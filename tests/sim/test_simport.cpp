// The in-process port over the virtual controller on virtual time.
#include "sim/simoptions.h"
#include "sim/simport.h"
#include "stdstringtesting.h"

using namespace pkivo::sim;
using pkivo::Millis;
using namespace std::chrono_literals;
using Args = std::vector<std::string>;

class TestSimPort : public QObject {
    Q_OBJECT

private slots:
    // A silent controller's waits are test_faultmatrix's.
    void exchangeRunsOnVirtualTime_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("took"); // ms of virtual time for "&", then "-OE0007DDH"
        QTest::newRow("at once") << Args{} << 0;
        // ":" after 0.35 ms, then 10 characters in and 9 out: 4.3 ms.
        QTest::newRow("paced at 57600 baud") << Args{"--pace"} << 5;
    }
    void exchangeRunsOnVirtualTime() {
        QFETCH(Args, args);
        QFETCH(int, took);
        SimOptions options;
        std::string error;
        QVERIFY(parseSimArguments(args, options, error));
        SimulatedLine line(options.protocol);
        int activity = 0;
        line.port.setActivityHandler([&activity] { ++activity; });
        QVERIFY(line.port.open());
        std::string got;
        for (const auto& [request, length] : {std::pair{"&", 1}, std::pair{"-OE0007DDH", 9}}) {
            QVERIFY(line.port.output(request));
            QVERIFY(line.time.waitUntil([&] { return line.port.inBufferCount() >= length; },
                                        line.time.now() + 2000ms));
            got += line.port.input();
        }
        QCOMPARE(got, std::string(":OE000704H"));
        QCOMPARE(line.time.now(), Millis(took));
        QVERIFY(activity >= 2);
    }

    void closedPortAndLostLine() {
        SimulatedLine line;
        QVERIFY(!line.port.output("&")); // not open yet
        QVERIFY(line.port.open());
        line.port.loseLine();
        QVERIFY(line.port.lineLost());
        QVERIFY(!line.port.isOpen());
        QVERIFY(line.port.open());
        QVERIFY(!line.port.lineLost());
    }
};

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_simport.moc"
