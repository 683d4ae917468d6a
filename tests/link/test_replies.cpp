// Reply decoders byte for byte: every kind of answer read good, too short, with characters that
// are not digits, at its boundary values, and by the lenient hex rule where windows use it.
#include "link/records.h"
#include "link/replies.h"

#include "stdstringtesting.h"

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

// A decoder and how its value shows: the error and that text ("" when refused).
using Decoded = std::pair<DecodeError, QString>;
using Decoder = std::function<Decoded(const S&)>;
template <class Decode, class Show> Decoder decoder(Decode decode, Show show) {
    return [=](const S& r) {
        const auto got = decode(r);
        return Decoded{got.error, got.value ? show(*got.value) : QString()};
    };
}
const auto number = [](uint8_t byte) { return QString::number(byte); };
const Decoder exactByte =
    decoder([](const S& r) { return reply::memoryByte(r, reply::LengthRule::Exact); }, number);
const Decoder anyEcho =
    decoder([](const S& r) { return reply::memoryByte(r, reply::LengthRule::Loose); }, number);
const Decoder jog = decoder(reply::jogReply, [](const reply::JogReply& j) {
    return QString("%1|%2").arg(j.servo).arg(j.position);
});
const Decoder stored = decoder(reply::storedPositions, joined<S, 8>);
const Decoder current = decoder(reply::currentPositions, joined<uint16_t, 8>);
const Decoder speed = decoder(reply::speedEntry, [](const reply::SpeedEntry& e) {
    return joined(e.speeds) + '/' + joined(e.controls);
});
// An editor's boxes in table order, as the record table decodes the digits it is handed.
Decoder editorBoxes(record::Kind kind, Field digits) {
    return [=](const S& r) {
        QStringList texts;
        for (uint32_t value : record::decode(kind, cut(r, digits))) {
            texts << QString::number(value);
        }
        return Decoded{None, texts.join('|')};
    };
}

const Decoder instruction = editorBoxes(record::Kind::Instruction, packet::record);
const Decoder packed = editorBoxes(record::Kind::Packed, reply::packedDigits::inPackdata);
const Decoder board = decoder(reply::boardParameters, controls);
const Decoder flashPage =
    decoder(reply::flashPage, [](const S& text) { return QString::fromStdString(text); });

// The lenient hex rule where windows use it: the leading digits, then a field read by pairs.
const Decoder hex = [](const S& digits) {
    return Decoded{
        None,
        QString("%1/%2").arg(reply::leadingHexValue(digits)).arg(reply::hexFieldValue(digits))};
};

struct Row {
    Decoder decode;
    S reply;
    DecodeError error;
    S decoded;
};

// 16 records of 32 digits, then 16 more.
const S page = QByteArray("0123456789ABCDEF").repeated(32).toStdString() + "FEDCBA9876543210";

} // namespace

Q_DECLARE_METATYPE(Row)

class TestReplies : public QObject {
    Q_OBJECT

private slots:
    // Every kind of answer read good, too short, with characters that are not digits and at its
    // boundary values; the lenient hex rule first.
    void decodesEveryReply_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("hex, empty reads 0") << Row{hex, "", None, "0/0"};
        QTest::newRow("hex, lower case") << Row{hex, "ff", None, "255/255"};
        QTest::newRow("hex, stops at first non-hex") << Row{hex, "4G", None, "4/4"};
        QTest::newRow("hex, starts with non-hex") << Row{hex, "G4", None, "0/0"};
        QTest::newRow("hex, 16 bits, bad high pair") << Row{hex, "1G34", None, "1/308"};
        QTest::newRow("hex, 12 bits, high digit alone") << Row{hex, "ABC", None, "2748/2748"};
        QTest::newRow("hex, 12 bits, bad low pair") << Row{hex, "1G4", None, "1/256"};
        QTest::newRow("byte FF") << Row{exactByte, "OR0000FFH", None, "255"};
        QTest::newRow("byte, request left by a failed handshake")
            << Row{exactByte, "OE1234DDH", None, "221"};
        QTest::newRow("byte, 10 characters") << Row{exactByte, "OE12342AHx", WrongLength, ""};
        QTest::newRow("byte, not hex") << Row{exactByte, "OE1234G1H", NotHex, ""};
        QTest::newRow("echo, 10 characters: buffer after a time-out")
            << Row{anyEcho, "-OF1234FFH", None, "79"};
        QTest::newRow("echo, 8 characters") << Row{anyEcho, "OF1234FF", None, "255"};
        QTest::newRow("echo, 7 characters") << Row{anyEcho, "OF1234F", TooShort, ""};
        QTest::newRow("echo, not hex") << Row{anyEcho, "OS12341-H", NotHex, ""};
        QTest::newRow("jog reply") << Row{jog, "OU03E803H", None, "3|1000"};
        QTest::newRow("jog reply, servo 09 names none") << Row{jog, "OD000109H", None, "0|1"};
        QTest::newRow("jog reply, time-out buffer") << Row{jog, "-OU000103H", WrongLength, ""};
        QTest::newRow("jog reply, not hex") << Row{jog, "OU03G803H", NotHex, ""};
        QTest::newRow("stored positions")
            << Row{stored, "OV0R180027100000000123655353200000001999991234565535xxxxxxxxx0H~", None,
                   "00000|00123|65535|32000|00001|99999|12345|65535"};
        QTest::newRow("stored positions not decimal, kept")
            << Row{stored, "OV0R180027106553x00123     32000000019999912345-0001", None,
                   "6553x|00123|     |32000|00001|99999|12345|-0001"};
        QTest::newRow("stored positions, 51 characters")
            << Row{stored, "OV0R18002710000000012365535320000000199999123456553", TooShort, ""};
        QTest::newRow("current positions")
            << Row{current, "OV0R010000FFFF03E88000000100FF7FFF1234DDDDDDDDDxxx000x000000x0H~",
                   None, "0|65535|1000|32768|1|255|32767|4660"};
        QTest::newRow("current positions, 38 characters")
            << Row{current, "OV0R01FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", None,
                   "65535|65535|65535|65535|65535|65535|65535|65535"};
        QTest::newRow("current positions, 37 characters")
            << Row{current, "OV0R01FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", TooShort, ""};
        QTest::newRow("current positions, request left by a failed handshake")
            << Row{current, "OV0R01002710xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~",
                   NotHex, ""};
        QTest::newRow("speed entry")
            << Row{speed, "OV0R1A007D000000010100991009992555001234 5ABC---000999001002x0H~", None,
                   "000|001|010|099|100|999|255|500/123|4 5|ABC|---|000|999|001|002"};
        QTest::newRow("speed entry, 60 characters")
            << Row{speed, "OV0R1A007D00000000000000000000000000999999999999999999999999", None,
                   "000|000|000|000|000|000|000|000/999|999|999|999|999|999|999|999"};
        QTest::newRow("speed entry, 59 characters") << Row{
            speed, "OV0R1A007D0000000000000000000000000099999999999999999999999", TooShort, ""};
        QTest::newRow("instruction")
            << Row{instruction, "OV0R1500000A0A0100640105DC000000000000000000DDDxxxxxxxxxxxxxx0H~",
                   None, "10|1|100|1|1500|0|0|0|0|0|0|0"};
        QTest::newRow("instruction, lenient pairs")
            << Row{instruction, "OV0R1500000A4GG41G34000000000000000000000000DDDxxxxxxxxxxxxxx0H~",
                   None, "4|0|308|0|0|0|0|0|0|0|0|0"};
        QTest::newRow("packed record") << Row{
            packed, "3C01271031F4000000000000000000002710FFFFFFFFFFFFFFFFFFFFFFFFFFFF", None,
            "60|1|10000|3|500|0|0|0|0|0|0|0|0|10000|65535|65535|65535|65535|65535|65535|65535"};
        QTest::newRow("packed record, defaults, more after")
            << Row{packed, S(64, 'F') + "OV", None,
                   "255|255|65535|15|4095|15|4095|15|4095|15|4095|65535|65535|"
                   "65535|65535|65535|65535|65535|65535|65535|65535"};
        QTest::newRow("packed record, lenient 12 bits")
            << Row{packed, "00000000G1G4212G" + S(48, '0'), None,
                   "0|0|0|0|256|2|258|0|0|0|0|0|0|0|0|0|0|0|0|0|0"};
        QTest::newRow("board parameters: limits, Other, no power-up, Servo8 and 1")
            << Row{board, "OV0R1R000000B06123401ABCDFF05DCFFFF81EEEEEEDDDDxxx000x000000x0H~", None,
                   "1|0|2|1|1|0|1|255|1500|65535|10000001"};
        QTest::newRow("board parameters: report on, Common, Servo3")
            << Row{board, "OV0R1R00000F5F80000FE0000000000000004000000DDDDxxx000x000000x0H~", None,
                   "0|1|1|0|0|0|0|0|0|0|00100000"};
        QTest::newRow("board parameters, non-hex fields read 0")
            << Row{board, "OV0R1R00000G77G0000-1000000G5DC0000-1000000DDDDxxx000x000000x0H~", None,
                   "0|0|0|1|1|1|0|0|220|0|00000000"};
        QTest::newRow("board parameters, 42 characters")
            << Row{board, "OV0R1R000000B06123401ABCDFF05DCFFFF81EEEEE", TooShort, ""};
        QTest::newRow("flash page") << Row{flashPage, page, None, page};
        QTest::newRow("flash page, more after, kept")
            << Row{flashPage, page + "OV", None, page + "OV"};
        QTest::newRow("flash page, 527 digits")
            << Row{flashPage, page.substr(0, 527), TooShort, ""};
        QTest::newRow("flash page, not hex in the last digit")
            << Row{flashPage, page.substr(0, 527) + "x", NotHex, ""};
    }
    void decodesEveryReply() {
        QFETCH(Row, row);
        const Decoded got = row.decode(row.reply);
        QCOMPARE(got.first, row.error);
        QCOMPARE(got.second, QString::fromStdString(row.decoded));
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "test_replies.moc"
