// Packets byte for byte: every builder of the command table, the reply checks and the
// result-code texts.
#include "link/packets.h"
#include "link/resultcodes.h"

#include "stdstringtesting.h"

#include <QTest>

using namespace pkivo;
using S = std::string;

class TestPackets : public QObject {
    Q_OBJECT

private slots:
    void buildsEveryCommand_data() {
        QTest::addColumn<std::string>("built");
        QTest::addColumn<std::string>("expected");
        const std::string tail = "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~"; // 16-64
        auto withLine = [&](const char* code, const char* line) {
            return std::string("OV0") + code + line + "xxx" + tail;
        };
        QTest::newRow("R00") << packet::stopProgram() << S("OV0R00SSSSxxxxx") + tail;
        QTest::newRow("R01") << packet::readCurrentPositions(0x12) << withLine("R01", "000012");
        QTest::newRow("R05 line 0") << packet::runProgram(0) << withLine("R05", "000000");
        QTest::newRow("R05 line") << packet::runProgram(1000) << withLine("R05", "0003E8");
        QTest::newRow("R05 keeps 6 digits")
            << packet::runProgram(0x1234567) << withLine("R05", "234567");
        QTest::newRow("R07") << packet::pauseProgram() << S("OV0R07SSSSxxxxx") + tail;
        QTest::newRow("R14") << packet::readFlashPage("42") << S("OV0R1400042xxxx") + tail;
        QTest::newRow("R14 long page text")
            << packet::readFlashPage("1234567") << S("OV0R1434567xxxx") + tail;
        QTest::newRow("R15") << packet::readInstruction(10) << withLine("R15", "00000A");
        QTest::newRow("R16") << packet::writeInstruction(10, std::string(32, 'F'))
                             << S("OV0R1600000A") + std::string(32, 'F') + "DDD" +
                                    std::string(14, 'x') + "0H~";
        QTest::newRow("R17") << packet::eraseFlash() << S("OV0R17SSSSxxxxx") + tail;
        QTest::newRow("R18") << packet::readStoredPositions(10000) << withLine("R18", "002710");
        std::array<std::string, 8> positions;
        positions.fill("65535");
        std::string eightPositions;
        for (int i = 0; i < 8; ++i) {
            eightPositions += "65535";
        }
        QTest::newRow("R19") << packet::storePositions(10000, positions)
                             << S("OV0R19002710") + eightPositions + std::string(9, 'x') + "0H~";
        QTest::newRow("R1A") << packet::readSpeed(32000) << withLine("R1A", "007D00");
        std::array<std::string, 8> zeros;
        zeros.fill("000");
        QTest::newRow("R1B") << packet::writeSpeed(32000, zeros, zeros)
                             << S("OV0R1B007D00") + std::string(48, '0') + "x0H~";
        QTest::newRow("R1C") << packet::readPacked(5) << withLine("R1C", "000005");
        QTest::newRow("R1D") << packet::packedWriteData(5, std::string(64, 'F'))
                             << S("OV0R1D000005") + std::string(64, 'F');
        const std::string block = "0123456789ABCDEF0123456789ABCDEF";
        QTest::newRow("R1W") << packet::storeParameters(block)
                             << S("OV0R1W00000") + block + "DDDD" + std::string(14, 'x') + "0H~";
        QTest::newRow("R1R") << packet::docomaxRequest(packet::readParameters())
                             << S("OV0R1R00000") + std::string("0xxx") + std::string(32, 'D') +
                                    "xxx000x000000x0H~";
        QTest::newRow("typed X") << packet::docomaxRequest(packet::typedCommand("X", ""))
                                 << S("OV000X00000") + std::string("0xxx") + std::string(32, 'D') +
                                        "xxx000x000000x0H~";
        QTest::newRow("typed data")
            << packet::docomaxRequest(packet::typedCommand("AR02", "1234567"))
            << S("OV0R0234567") + std::string("0xxx") + std::string(32, 'D') + "xxx000x000000x0H~";
        QTest::newRow("OE") << packet::readEeprom(0x1F) << S("OE001FDDH");
        QTest::newRow("OR") << packet::readRam(0xABCD) << S("ORABCDDDH");
        QTest::newRow("OF") << packet::writeEeprom(0x10, 0xFE) << S("OF0010FEH");
        QTest::newRow("OS") << packet::writeRam(0x10, 0x5) << S("OS001005H");
        QTest::newRow("OT") << packet::moveToStoredLine(10000) << S("OT002710H");
        QTest::newRow("OU") << packet::jogUp("0010", 3) << S("OU001003H");
        QTest::newRow("OD") << packet::jogDown("0001", 8) << S("OD000108H");
        QTest::newRow("OO on") << packet::switchOutput(0x0C, true) << S("OO0C1DDDH");
        QTest::newRow("OO off") << packet::switchOutput(0x0C, false) << S("OO0C0DDDH");
    }
    void buildsEveryCommand() {
        QFETCH(std::string, built);
        QFETCH(std::string, expected);
        QCOMPARE(built, expected);
        if (built.starts_with("OV0") && !built.starts_with("OV0R1D")) {
            QCOMPARE(built.size(), packet::longLength);
        }
    }

    void docomaxWritesTheDataBlockOnlyWhenLongerThan40_data() {
        QTest::addColumn<std::string>("datablock");
        QTest::addColumn<std::string>("at7to47");
        const std::string untouched = "00000" + std::string("0xxx") + std::string(32, 'D');
        QTest::newRow("empty") << std::string() << untouched;
        QTest::newRow("40") << std::string(40, 'A') << untouched;
        QTest::newRow("41") << std::string(41, 'A') << std::string(41, 'A');
        QTest::newRow("50") << std::string(41, 'A') + "BBBBBBBBB" << std::string(41, 'A');
    }
    void docomaxWritesTheDataBlockOnlyWhenLongerThan40() {
        QFETCH(std::string, datablock);
        QFETCH(std::string, at7to47);
        packet::DocomaxFields fields = packet::readParameters();
        fields.datablock = datablock;
        std::string built = packet::docomaxRequest(fields);
        QCOMPARE(built.size(), size_t(64));
        QCOMPARE(cut(built, packet::dataBlock), at7to47);
    }

    void docomaxOverwritesNoMoreThanTheValueHas() {
        packet::DocomaxFields fields;
        fields.cmdcode = "R";
        fields.cmddata = "12";
        fields.cmdparm1 = "9";
        fields.cmdparm2 = "";
        fields.cmdparm3 = "12345";
        const std::string built = packet::docomaxRequest(fields);
        QCOMPARE(built, "OV0Rii120000xxx" + std::string(32, 'D') + "xxx9xxxxxx123x0H~");
    }

    void versionRequestIsSentAsItStands() {
        QCOMPARE(packet::versionRequest.size(), size_t(68));
        QCOMPARE(packet::versionRequest.substr(1).size(), size_t(67));
    }

    void checksReplies_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<bool>("validLong");
        QTest::addColumn<bool>("validShort");
        QTest::addColumn<bool>("exactShort");
        const std::string longOk = "OV0R99" + std::string(56, '-') + "H~";
        QTest::newRow("long, other code") << longOk << true << false << false;
        QTest::newRow("long, 70 characters") << longOk + "ZZZZZZ" << true << false << false;
        QTest::newRow("long, no OV") << S("XV") + longOk.substr(2) << false << false << false;
        QTest::newRow("long, no H~") << longOk.substr(0, 62) + "H-" << false << false << false;
        QTest::newRow("long, 63") << longOk.substr(0, 63) << false << false << false;
        QTest::newRow("short") << std::string("OR1234A5H") << false << true << true;
        QTest::newRow("short + more") << std::string("OR1234A5Hxx") << false << true << false;
        QTest::newRow("short, no H") << std::string("OR1234A5X") << false << false << false;
        QTest::newRow("empty") << std::string() << false << false << false;
    }
    void checksReplies() {
        QFETCH(std::string, reply);
        QFETCH(bool, validLong);
        QFETCH(bool, validShort);
        QFETCH(bool, exactShort);
        QCOMPARE(packet::isValidLongReply(reply), validLong);
        QCOMPARE(packet::isValidShortReply(reply), validShort);
        QCOMPARE(packet::isExactShortReply(reply), exactShort);
        QCOMPARE(packet::longReplyStatus(reply),
                 validLong ? packet::validPacket : packet::invalidPacket);
    }

    void readsVersionAndPageMarks() {
        QVERIFY(packet::carriesVersion("OV0R02Version 2.1.0xx"));
        QVERIFY(!packet::carriesVersion("OV0R02version"));
        QVERIFY(packet::isPageWritten("OV0OK..."));
        QVERIFY(!packet::isPageWritten("OV0O"));
    }

    void resultTexts_data() {
        QTest::addColumn<std::string>("code");
        QTest::addColumn<std::string>("text");
        QTest::newRow("0") << S("0") << S("No errors");
        QTest::newRow("1") << S("1") << S("System received invalid packet");
        QTest::newRow("2") << S("2") << S("No responce from device/module on buss");
        QTest::newRow("X") << S("X") << S("Invalid Instruction sent");
        QTest::newRow("Z") << S("Z") << S("Unable to connect");
        QTest::newRow("7") << S("7") << S("Serial port not open");
        QTest::newRow("B") << S("B") << S("Link busy");
        QTest::newRow("other") << S("q") << S("Undefined error");
        QTest::newRow("empty") << S("") << S("");
    }
    void resultTexts() {
        QFETCH(std::string, code);
        QFETCH(std::string, text);
        QCOMPARE(std::string(result::text(code)), text);
    }
};

QTEST_GUILESS_MAIN(TestPackets)
#include "test_packets.moc"
