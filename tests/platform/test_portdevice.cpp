// Port numbers to devices: links in ~/.config/pkivo/dosdevices first, then the default ranges;
// and the Settings text every port backend takes.
#include "platform/portdevice.h"
#include "platform/serialsettings.h"
#include "temphome.h"

#include <QTest>

#include <filesystem>

using namespace pkivo;

class TestPortDevice : public QObject {
    Q_OBJECT

private slots:
    void defaultDevices_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << 1 << "/dev/ttyS0";
        QTest::newRow("COM32") << 32 << "/dev/ttyS31";
        QTest::newRow("COM33") << 33 << "/dev/ttyUSB0";
        QTest::newRow("COM48") << 48 << "/dev/ttyUSB15";
        QTest::newRow("COM49") << 49 << "/dev/ttyACM0";
        QTest::newRow("COM56") << 56 << "/dev/ttyACM7";
        QTest::newRow("COM57") << 57 << "";
        QTest::newRow("COM0") << 0 << "";
    }
    void defaultDevices() {
        QFETCH(int, number);
        QFETCH(QString, device);
        test::TempHome home;
        QCOMPARE(QString::fromStdString(portDevicePath(number)), device);
    }

    void linksComeFirst() {
        test::TempHome home;
        namespace fs = std::filesystem;
        fs::create_directories(portLinkFolder());
        const std::string target = home.file("adapter");
        test::writeWholeFile(target, "");
        fs::create_symlink(target, portLinkFolder() + "/com3");
        fs::create_symlink(home.file("gone"), portLinkFolder() + "/com70");
        QCOMPARE(portDevicePath(3), fs::canonical(target).string());
        // A dangling link stays a link (opening it fails); no fallback to /dev/ttyS69.
        QCOMPARE(portDevicePath(70), portLinkFolder() + "/com70");
        QCOMPARE(portDevicePath(4), std::string("/dev/ttyS3"));
    }

    void settingsTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const char* text : {"57600,n,8,1", "9600,e,7,2", "19200,N,8,1", "9600,n,8,1.5"}) {
            QTest::addRow("%s", text) << QString(text) << true;
        }
        for (const char* text : {"0,n,8,1", "57600,x,8,1", "57600,n,9,1", "57600,n,8,3",
                                 "57600,n,8", "57600,n,8,1,", ""}) {
            QTest::addRow("'%s'", text) << QString(text) << false;
        }
    }
    void settingsTexts() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(parseSerialSettings(text.toStdString()).has_value(), valid);
    }
};

QTEST_GUILESS_MAIN(TestPortDevice)
#include "test_portdevice.moc"
