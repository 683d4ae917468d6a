// The link over a real pseudo-terminal: QSerialPort and the nested event loop on the wall
// clock, with the virtual controller serving the far side in this test's own event loop. A
// smoke test of what only a real port does (the dosdevices map, a 528-character reply in many
// pieces, a hang-up) and of the controller's own port link and state file; the routines' rules are
// tested on virtual time.
#include "link/link.h"
#include "link/packets.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "recordingui.h"
#include "sim/portlink.h"
#include "sim/pty/ptyserver.h"
#include "stdstringtesting.h"
#include "temphome.h"

#include <QTimer>

#include <filesystem>
#include <memory>

using namespace pkivo;

namespace {

// The virtual controller on the first free port of the home directory, saving its state there.
std::unique_ptr<sim::PtyServer> startController(const sim::FaultOptions& faults = {}) {
    sim::SimOptions options;
    options.protocol.faults = faults;
    auto server = std::make_unique<sim::PtyServer>(options);
    std::string error;
    if (!server->start(error)) {
        qFatal("virtual controller: %s", error.c_str());
    }
    return server;
}

} // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT

private slots:
    // Port 1 is taken and does not open; port 2 links to a device that is gone (a killed
    // controller's), so the controller takes it and the search finds it there, never touching
    // the machine's own serial ports. A page is written; the controller hangs up after it and
    // never answers again, so the next exchange can only end through the pulled line, with "7"
    // (its own time limit would end it with "Z"). The controller comes back with its saved
    // state, "Re-Connect" finds it and the page reads back.
    void connectPageWritePulledLineAndReconnect() {
        test::TempHome home;
        namespace fs = std::filesystem;
        fs::create_directories(fs::path(sim::portLinkPath(1)).parent_path());
        fs::create_symlink(home.path(), sim::portLinkPath(1));
        fs::create_symlink(home.file("gone"), sim::portLinkPath(2));
        sim::FaultOptions hangsUp;
        hangsUp.hangUpAfterPages = 1;
        std::unique_ptr<sim::PtyServer> controller = startController(hangsUp);
        QCOMPARE(controller->linkPath(), sim::portLinkPath(2));
        QtSerialPort serial;
        EventLoopWaiter waiter;
        Link link(serial, waiter);
        test::RecordingUi ui;
        QCOMPARE(link.opencomport({.comport = "00"}, ui), ConnectResult::Connected);
        QCOMPARE(link.boardinfo(), std::string(" Version SIM 1   Port: 2"));
        // A page of 528 digits in which no two neighbouring digits are alike.
        std::string page;
        while (page.size() < packet::flashPageLength) {
            page += "0123456789ABCDEF";
        }
        LinkGlobals& g = link.globals();
        g.timedout = false;
        g.packdata = "00003" + page;
        link.flashwait();
        QCOMPARE(g.errcode, std::string("0"));
        QVERIFY(!g.timedout);
        QVERIFY(packet::isPageWritten(g.packet));

        controller->machine().setEepromByte(0x0123, 0x42);
        QTimer::singleShot(0, controller.get(), [&controller] { controller->stop(); });
        g.packet = packet::readFlashPage("00003");
        link.binreceiver();
        QCOMPARE(g.errcode + " " + g.errtext, std::string("7 Serial port not open"));
        QVERIFY(!serial.isOpen());
        QVERIFY(!fs::is_symlink(sim::portLinkPath(2)));

        controller = startController();
        QCOMPARE(link.opencomport({.comport = "02"}, ui), ConnectResult::Connected);
        QCOMPARE(int(controller->machine().eepromByte(0x0123)), 0x42);
        g.packet = packet::readFlashPage("00003");
        link.binreceiver();
        QCOMPARE(g.errcode, std::string("0"));
        QCOMPARE(g.packdata, page);
    }
};

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "test_link_e2e.moc"
