// Reply decoders byte for byte: every kind of answer read good, too short, with characters that
// are not digits, at its boundary values, and by the lenient hex rule where windows use it.
#include "link/replies.h"

#include "stdstringtesting.h"

#include <QTest>

using namespace pkivo;
using enum reply::DecodeError;
using reply::DecodeError;
using S = std::string;

namespace {

template <class T, size_t N> QString joined(const std::array<T, N>& values) {
    QStringList texts;
    for (const T& value : values) {
        if constexpr (std::is_same_v<T, S>) {
            texts << QString::fromStdString(value);
        } else {
            texts << QString::number(value);
        }
    }
    return texts.join('|');
}
const auto speeds = [](const reply::SpeedEntry& e) {
    return joined(e.speeds) + '/' + joined(e.controls);
};

// An editor's boxes in its order: instruction, Speedref, Toposition, each specify with its
// datax, data5, and a packed record's servos.
template <class Fields> QString boxes(const Fields& f) {
    QStringList texts{QString::number(f.instruction), QString::number(f.Speedref),
                      QString::number(f.Toposition)};
    for (size_t i = 0; i < f.specify.size(); ++i) {
        texts << QString::number(f.specify[i]) << QString::number(f.datax[i]);
    }
    QString text = texts.join('|') + '|' + joined(f.data5);
    if constexpr (requires { f.servos; }) {
        text += '|' + joined(f.servos);
    }
    return text;
}

// The Board Parameters controls in the order of the struct, Servos1(0..7) as eight 0/1.
QString controls(const reply::BoardParameters& p) {
    QString servos;
    for (bool on : p.Servos1) {
        servos += on ? '1' : '0';
    }
    return joined(std::array<int, 10>{p.uselimits, p.reporton, int(p.storage), p.Runonhw, p.Runonpb,
                                      p.Runonpu, p.iocon1, p.reportrate, p.minpulse, p.maxpulse}) +
           '|' + servos;
}

// Every table: a reply and what it decodes to, "" when the decoder refuses it.
void addColumns() {
    QTest::addColumn<S>("reply");
    QTest::addColumn<DecodeError>("error");
    QTest::addColumn<QString>("decoded");
}
void row(const char* name, const S& reply, DecodeError error, const S& decoded) {
    QTest::newRow(name) << reply << error << QString::fromStdString(decoded);
}
template <class Decoder, class Show> void verify(Decoder decode, Show show) {
    QFETCH(S, reply);
    QFETCH(DecodeError, error);
    QFETCH(QString, decoded);
    auto got = decode(reply);
    QCOMPARE(got.error, error);
    QCOMPARE(got.value ? show(*got.value) : QString(), decoded);
}
const auto number = [](uint8_t byte) { return QString::number(byte); };
const auto asText = [](const S& text) { return QString::fromStdString(text); };

const S page = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"
               "FEDCBA9876543210"; // 16 records of 32 digits, then 16 more

} // namespace

class TestReplies : public QObject {
    Q_OBJECT

private slots:
    void lenientHexRule_data() {
        QTest::addColumn<S>("digits");
        QTest::addColumn<uint>("leading");
        QTest::addColumn<uint>("field");
        QTest::newRow("empty reads 0") << S("") << 0u << 0u;
        QTest::newRow("lower case") << S("ff") << 255u << 255u;
        QTest::newRow("stops at first non-hex") << S("4G") << 4u << 4u;
        QTest::newRow("starts with non-hex") << S("G4") << 0u << 0u;
        QTest::newRow("16 bits FFFF") << S("FFFF") << 65535u << 65535u;
        QTest::newRow("16 bits, bad high pair") << S("1G34") << 1u << 308u;
        QTest::newRow("12 bits, high digit alone") << S("ABC") << 2748u << 2748u;
        QTest::newRow("12 bits, bad low pair") << S("1G4") << 1u << 256u;
    }
    void lenientHexRule() {
        QFETCH(S, digits);
        QFETCH(uint, leading);
        QFETCH(uint, field);
        QCOMPARE(reply::leadingHexValue(digits), leading);
        QCOMPARE(reply::hexFieldValue(digits), field);
    }

    void readsByteOfExactShortReply_data() {
        addColumns();
        row("2A", "OE12342AH", None, "42");
        row("00", "OR000000H", None, "0");
        row("FF", "OR0000FFH", None, "255");
        row("request left by a failed handshake", "OE1234DDH", None, "221");
        row("10 characters", "OE12342AHx", WrongLength, "");
        row("8 characters", "OE12342A", WrongLength, "");
        row("not hex", "OE1234G1H", NotHex, "");
    }
    void readsByteOfExactShortReply() {
        verify([](const S& r) { return reply::memoryByte(r, reply::LengthRule::Exact); }, number);
    }

    void readsByteOfAnyEcho_data() {
        addColumns();
        row("10 characters", "OF1234FFHx", None, "255");
        row("buffer after a time-out", "-OF1234FFH", None, "79");
        row("8 characters", "OF1234FF", None, "255");
        row("7 characters", "OF1234F", TooShort, "");
        row("not hex", "OS12341-H", NotHex, "");
    }
    void readsByteOfAnyEcho() {
        verify([](const S& r) { return reply::memoryByte(r, reply::LengthRule::Loose); }, number);
    }

    void readsStoredPositions_data() {
        addColumns();
        row("positions", "OV0R180027100000000123655353200000001999991234565535xxxxxxxxx0H~", None,
            "00000|00123|65535|32000|00001|99999|12345|65535");
        row("not decimal, kept", "OV0R180027106553x00123     32000000019999912345-0001", None,
            "6553x|00123|     |32000|00001|99999|12345|-0001");
        row("51 characters", "OV0R18002710000000012365535320000000199999123456553", TooShort, "");
        row("time-out", "", TooShort, "");
    }
    void readsStoredPositions() { verify(reply::storedPositions, joined<S, 8>); }

    void readsCurrentPositions_data() {
        addColumns();
        row("positions", "OV0R010000FFFF03E88000000100FF7FFF1234DDDDDDDDDxxx000x000000x0H~", None,
            "0|65535|1000|32768|1|255|32767|4660");
        row("38 characters", "OV0R01FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", None,
            "65535|65535|65535|65535|65535|65535|65535|65535");
        row("37 characters", "OV0R01FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", TooShort, "");
        row("request left by a failed handshake",
            "OV0R01002710xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~", NotHex, "");
    }
    void readsCurrentPositions() { verify(reply::currentPositions, joined<uint16_t, 8>); }

    void readsSpeedEntry_data() {
        addColumns();
        row("entry", "OV0R1A007D000000010100991009992555001234 5ABC---000999001002x0H~", None,
            "000|001|010|099|100|999|255|500/123|4 5|ABC|---|000|999|001|002");
        row("60 characters", "OV0R1A007D00000000000000000000000000999999999999999999999999", None,
            "000|000|000|000|000|000|000|000/999|999|999|999|999|999|999|999");
        row("59 characters", "OV0R1A007D0000000000000000000000000099999999999999999999999",
            TooShort, "");
    }
    void readsSpeedEntry() { verify(reply::speedEntry, speeds); }

    void readsInstructionRecord_data() {
        addColumns();
        row("record", "OV0R1500000A0A0100640105DC000000000000000000DDDxxxxxxxxxxxxxx0H~", None,
            "10|1|100|1|1500|0|0|0|0|0|0|0");
        row("empty slot", "OV0R1500000AFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", None,
            "255|255|65535|255|65535|255|65535|255|65535|255|255|255");
        row("lenient pairs", "OV0R1500000A4GG41G34000000000000000000000000DDDxxxxxxxxxxxxxx0H~",
            None, "4|0|308|0|0|0|0|0|0|0|0|0");
        row("43 characters", "OV0R1500000AFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", TooShort, "");
    }
    void readsInstructionRecord() {
        verify(reply::instructionRecord, boxes<reply::InstructionFields>);
    }

    void readsPackedRecord_data() {
        addColumns();
        row("record", "3C01271031F4000000000000000000002710FFFFFFFFFFFFFFFFFFFFFFFFFFFF", None,
            "60|1|10000|3|500|0|0|0|0|0|0|0|0|10000|65535|65535|65535|65535|65535|65535|65535");
        row("defaults, more after",
            "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFOV", None,
            "255|255|65535|15|4095|15|4095|15|4095|15|4095|65535|65535|"
            "65535|65535|65535|65535|65535|65535|65535|65535");
        row("lenient 12 bits", "00000000G1G4212G000000000000000000000000000000000000000000000000",
            None, "0|0|0|0|256|2|258|0|0|0|0|0|0|0|0|0|0|0|0|0|0");
        row("63 characters", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
            TooShort, "");
    }
    void readsPackedRecord() { verify(reply::packedRecord, boxes<reply::PackedFields>); }

    void readsBoardParameters_data() {
        addColumns();
        row("limits, Other, no power-up, Servo8 and 1",
            "OV0R1R000000B06123401ABCDFF05DCFFFF81EEEEEEDDDDxxx000x000000x0H~", None,
            "1|0|2|1|1|0|1|255|1500|65535|10000001");
        row("report on, Common, Servo3",
            "OV0R1R00000F5F80000FE0000000000000004000000DDDDxxx000x000000x0H~", None,
            "0|1|1|0|0|0|0|0|0|0|00100000");
        row("non-hex fields read 0",
            "OV0R1R00000G77G0000-1000000G5DC0000-1000000DDDDxxx000x000000x0H~", None,
            "0|0|0|1|1|1|0|0|220|0|00000000");
        row("42 characters", "OV0R1R000000B06123401ABCDFF05DCFFFF81EEEEE", TooShort, "");
    }
    void readsBoardParameters() { verify(reply::boardParameters, controls); }

    void keepsTheDigitsAsRead() {
        S r = "OV0R1R000000B06123401ABCDFF05DCFFFF81EEEEEEDDDDxxx000x000000x0H~";
        QCOMPARE(reply::boardParameters(r).value->boardparams,
                 S("0B06123401ABCDFF05DCFFFF81EEEEEE"));
        r = "OV0R1500000A4GG41G34000000000000000000000000DDDxxxxxxxxxxxxxx0H~";
        QCOMPARE(reply::instructionRecord(r).value->digits, S("4GG41G34000000000000000000000000"));
        r = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFOV";
        QCOMPARE(reply::packedRecord(r).value->digits, r.substr(0, 64));
    }

    void readsFlashPage_data() {
        addColumns();
        row("528 digits", page, None, page);
        row("more after the page, kept", page + "OV", None, page + "OV");
        row("527 digits", page.substr(0, 527), TooShort, "");
        row("not hex in the last digit", page.substr(0, 527) + "x", NotHex, "");
    }
    void readsFlashPage() { verify(reply::flashPage, asText); }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "test_replies.moc"
