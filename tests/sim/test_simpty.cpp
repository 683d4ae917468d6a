// The virtual controller served on a pseudo-terminal, in this test's own event loop: it links
// the first free dosdevices/com<n>, answers "&" with ":" through QSerialPort, and on stop
// removes the link and saves its state where --state says.
#include "sim/portlink.h"
#include "sim/pty/ptyserver.h"
#include "sim/statefile.h"
#include "temphome.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

using namespace pkivo::sim;
namespace fs = std::filesystem;

class TestSimPty : public QObject {
    Q_OBJECT

private slots:
    void serialPortGetsReadyAnswerThroughTheLink() {
        pkivo::test::TempHome home;
        // com1 is taken; com2 links to a device that is gone (a killed controller's): free.
        fs::create_directories(fs::path(portLinkPath(1)).parent_path());
        fs::create_symlink(home.path(), portLinkPath(1));
        fs::create_symlink(home.file("gone"), portLinkPath(2));
        SimOptions options;
        std::string error;
        QVERIFY(parseSimArguments({"--state", home.file("sim.state")}, options, error));
        PtyServer server(options);
        QVERIFY2(server.start(error), error.c_str()); // no state file yet is no error
        QCOMPARE(server.linkPath(), portLinkPath(2));

        QSerialPort port(QString::fromStdString(server.linkPath()));
        QVERIFY(port.open(QIODevice::ReadWrite));
        QSignalSpy arrived(&port, &QSerialPort::readyRead);
        port.write("&");
        port.flush();
        QVERIFY(arrived.wait(5000));
        QCOMPARE(port.readAll(), QByteArray(":"));
        port.close();

        server.machine().writeRecord(48, {0x0A, 0xFF});
        server.machine().setEepromByte(0x0123, 0x42);
        server.stop();
        QVERIFY(!fs::is_symlink(portLinkPath(2)));
        Machine reloaded;
        QVERIFY(loadStateFile(reloaded, home.file("sim.state"), error));
        QCOMPARE(reloaded.flash().recordHex(48).substr(0, 8), std::string("0AFF0000"));
        QCOMPARE(int(reloaded.eepromByte(0x0123)), 0x42);
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "test_simpty.moc"
