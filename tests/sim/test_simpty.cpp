// The virtual controller served on a pseudo-terminal, in this test's own event loop: the
// linked dosdevices/com<n> opens with QSerialPort and answers "&" with ":".
#include "sim/pty/ptyserver.h"
#include "sim/statefile.h"
#include "temphome.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace pkivo::sim;

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    void serialPortGetsReadyAnswerThroughTheLink();
};

void TestSimPty::serialPortGetsReadyAnswerThroughTheLink() {
    pkivo::test::TempHome home;
    SimOptions options;
    options.statePath = home.file("sim.state");
    std::string error;
    {
        PtyServer server(options);
        QVERIFY2(server.start(error), error.c_str());
        QCOMPARE(server.portNumber(), 1);
        QCOMPARE(server.linkPath(), home.file(".config/pkivo/dosdevices/com1"));
        QCOMPARE(std::filesystem::read_symlink(server.linkPath()).string(), server.devicePath());

        // A second controller takes the next free number.
        PtyServer second(options);
        QVERIFY2(second.start(error), error.c_str());
        QCOMPARE(second.portNumber(), 2);
        second.stop();
        QVERIFY(!std::filesystem::exists(home.file(".config/pkivo/dosdevices/com2")));

        QSerialPort port(QString::fromStdString(server.linkPath()));
        QVERIFY(port.open(QIODevice::ReadWrite));
        QVERIFY(port.setBaudRate(57600));
        port.clear(QSerialPort::Input);
        QSignalSpy arrived(&port, &QSerialPort::readyRead);
        port.write("&");
        port.flush();
        QVERIFY(arrived.wait(5000));
        QCOMPARE(port.readAll(), QByteArray(":"));

        // A page written over the line is in the saved state after stop().
        arrived.clear();
        port.write("$" +
                   QByteArray("OV0R17SSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~"));
        port.write("#");
        port.flush();
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesAvailable(), qint64(65), 5000);
        QCOMPARE(port.readAll().right(1), QByteArray("!"));
        port.write("$00003" + QByteArray("0AFF0000") + QByteArray(520, 'F'));
        port.flush();
        QTRY_COMPARE_WITH_TIMEOUT(port.bytesAvailable(), qint64(64), 5000);
        QCOMPARE(port.readAll().left(5), QByteArray("OV0OK"));
        port.close();
        server.stop();
        QVERIFY(!std::filesystem::exists(home.file(".config/pkivo/dosdevices/com1")));
    }
    Machine reloaded;
    QVERIFY(loadStateFile(reloaded, options.statePath, error));
    QCOMPARE(reloaded.flash().recordHex(48).substr(0, 8), std::string("0AFF0000"));
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_simpty.moc"
