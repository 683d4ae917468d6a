// Packets byte for byte: every builder of the command table, the reply checks and the
// result-code texts no exchange test reads.
#include "link/packets.h"
#include "link/resultcodes.h"

#include "stdstringtesting.h"

using namespace pkivo;
using S = std::string;

namespace {

// A reply judged as a long one, a short one and a short one of exactly 9 characters.
struct Check {
    S reply;
    bool validLong, validShort;
};
} // namespace

Q_DECLARE_METATYPE(Check)

class TestPackets : public QObject {
    Q_OBJECT

private slots:
    void buildsEveryCommand_data() {
        QTest::addColumn<S>("built");
        QTest::addColumn<S>("expected");
        const S tail = "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~"; // 16-64
        auto withLine = [&](const char* code, const char* line) {
            return S("OV0") + code + line + "xxx" + tail;
        };
        QTest::newRow("R00") << packet::stopProgram() << S("OV0R00SSSSxxxxx") + tail;
        QTest::newRow("R01") << packet::readCurrentPositions(0x12) << withLine("R01", "000012");
        QTest::newRow("R05 line") << packet::runProgram(1000) << withLine("R05", "0003E8");
        QTest::newRow("R05 keeps 6 digits")
            << packet::runProgram(0x1234567) << withLine("R05", "234567");
        QTest::newRow("R07") << packet::pauseProgram() << S("OV0R07SSSSxxxxx") + tail;
        QTest::newRow("R14") << packet::readFlashPage("42") << S("OV0R1400042xxxx") + tail;
        QTest::newRow("R14 long page text")
            << packet::readFlashPage("1234567") << S("OV0R1434567xxxx") + tail;
        QTest::newRow("R15") << packet::readInstruction(10) << withLine("R15", "00000A");
        QTest::newRow("R16") << packet::writeInstruction(10, S(32, 'F'))
                             << S("OV0R1600000A") + S(32, 'F') + "DDD" + S(14, 'x') + "0H~";
        QTest::newRow("R17") << packet::eraseFlash() << S("OV0R17SSSSxxxxx") + tail;
        QTest::newRow("R18") << packet::readStoredPositions(10000) << withLine("R18", "002710");
        std::array<S, 8> positions;
        positions.fill("65535");
        QTest::newRow("R19")
            << packet::storePositions(10000, positions)
            << S("OV0R190027106553565535655356553565535655356553565535xxxxxxxxx0H~");
        QTest::newRow("R1A") << packet::readSpeed(32000) << withLine("R1A", "007D00");
        const std::array<S, 8> zeros{"000", "000", "000", "000", "000", "000", "000", "000"};
        QTest::newRow("R1B") << packet::writeSpeed(32000, zeros, zeros)
                             << S("OV0R1B007D00") + S(48, '0') + "x0H~";
        QTest::newRow("R1C") << packet::readPacked(5) << withLine("R1C", "000005");
        QTest::newRow("R1D") << packet::packedWriteData(5, S(64, 'F'))
                             << S("OV0R1D000005") + S(64, 'F');
        const S block = "0123456789ABCDEF0123456789ABCDEF";
        QTest::newRow("R1W") << packet::storeParameters(block)
                             << S("OV0R1W00000") + block + "DDDD" + S(14, 'x') + "0H~";
        const S unused = "0xxx" + S(32, 'D'), docomaxTail = "xxx000x000000x0H~";
        QTest::newRow("R1R") << packet::docomaxRequest(packet::readParameters())
                             << "OV0R1R00000" + unused + docomaxTail;
        QTest::newRow("typed X") << packet::docomaxRequest(packet::typedCommand("X", ""))
                                 << "OV000X00000" + unused + docomaxTail;
        QTest::newRow("typed data")
            << packet::docomaxRequest(packet::typedCommand("AR02", "1234567"))
            << "OV0R0234567" + unused + docomaxTail;
        // docomax writes the data block only when it is longer than 40, and no more of any
        // field than the value has.
        auto docomax = [](const S& data) {
            return packet::docomaxRequest({"R1R", "00000", "000", "000", "000", data});
        };
        QTest::newRow("docomax, block of 40")
            << docomax(S(40, 'A')) << "OV0R1R00000" + unused + docomaxTail;
        QTest::newRow("docomax, block of 41")
            << docomax(S(41, 'A')) << "OV0R1R" + S(41, 'A') + docomaxTail;
        QTest::newRow("docomax, block of 50")
            << docomax(S(41, 'A') + "BBBBBBBBB") << "OV0R1R" + S(41, 'A') + docomaxTail;
        QTest::newRow("docomax, short fields")
            << packet::docomaxRequest({"R", "12", "9", "", "12345", ""})
            << "OV0Rii120000xxx" + S(32, 'D') + "xxx9xxxxxx123x0H~";
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
        QFETCH(S, built);
        QFETCH(S, expected);
        QCOMPARE(built, expected);
    }

    void checksReplies_data() {
        QTest::addColumn<Check>("c");
        const S longOk = "OV0R99" + S(56, '-') + "H~";
        QTest::newRow("long, other code") << Check{longOk, true, false};
        QTest::newRow("long, 70 characters") << Check{longOk + "ZZZZZZ", true, false};
        QTest::newRow("long, no OV") << Check{"XV" + longOk.substr(2), false, false};
        QTest::newRow("long, no H~") << Check{longOk.substr(0, 62) + "H-", false, false};
        QTest::newRow("long, 63") << Check{longOk.substr(0, 63), false, false};
        QTest::newRow("short") << Check{"OR1234A5H", false, true};
        QTest::newRow("short + more") << Check{"OR1234A5Hxx", false, true};
        QTest::newRow("short, no H") << Check{"OR1234A5X", false, false};
        QTest::newRow("empty") << Check{"", false, false};
    }
    void checksReplies() {
        QFETCH(Check, c);
        QCOMPARE(packet::isValidLongReply(c.reply), c.validLong);
        QCOMPARE(packet::isValidShortReply(c.reply), c.validShort);
        QCOMPARE(packet::longReplyStatus(c.reply),
                 c.validLong ? packet::validPacket : packet::invalidPacket);
    }

    void readsVersionAndPageMarks() {
        QCOMPARE(packet::versionRequest.size(), size_t(68)); // sent as it stands, "$" and all
        QVERIFY(packet::carriesVersion("OV0R02Version 2.1.0xx"));
        QVERIFY(!packet::carriesVersion("OV0R02version"));
        QVERIFY(packet::isPageWritten("OV0OK..."));
        QVERIFY(!packet::isPageWritten("OV0O"));
    }

    void resultTexts() {
        QCOMPARE(S(result::text("1")), S("System received invalid packet"));
        QCOMPARE(S(result::text("q")), S("Undefined error"));
        QCOMPARE(S(result::text("")), S());
    }
};

QTEST_GUILESS_MAIN(TestPackets)
#include "test_packets.moc"
