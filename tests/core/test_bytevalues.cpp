// The memory editor's converters without a display: a byte as bits, hex and a character, a
// 16-bit value as two bytes, and which typed texts the address, byte and 16-bit boxes take.
#include "core/bytevalues.h"

#include <QTest>

using namespace pkivo;
using namespace pkivo::bytevalue;

namespace {

// A value; for a byte its bits (bit 7 first), hex and character; for a 16-bit value its high
// and low byte and address hex.
struct Row {
    int value;
    QString bits{}, hex{}, character{};
    int high = 0, low = 0;
};
// A typed text and what the address, byte and 16-bit boxes take of it (-1: refused).
struct Typed {
    QByteArray text;
    int address, byte, word;
};

} // namespace

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Typed)

class TestByteValues : public QObject {
    Q_OBJECT

private slots:
    void aByteShowsAsBitsHexAndCharacter_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("0") << Row{0, "00000000", "0", QString(QChar(0))};
        QTest::newRow("42 is an asterisk") << Row{42, "00101010", "2A", "*"};
        QTest::newRow("255 is y diaeresis") << Row{255, "11111111", "FF", QString(QChar(0xFF))};
    }
    void aByteShowsAsBitsHexAndCharacter() {
        QFETCH(Row, row);
        const Bits split = bitsOf(uint8_t(row.value));
        QString shown;
        for (size_t k = split.size(); k-- > 0;) {
            shown += split[k] ? '1' : '0';
        }
        QCOMPARE(shown, row.bits);
        QCOMPARE(int(byteOf(split)), row.value);
        QCOMPARE(QString::fromStdString(hexText(uint32_t(row.value))), row.hex);
        QCOMPARE(QString::fromLatin1(characterOf(uint8_t(row.value)).c_str(), 1), row.character);
    }

    void aWordSplitsIntoHighAndLowByte_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("4660") << Row{.value = 4660, .hex = "1234", .high = 18, .low = 52};
        QTest::newRow("256") << Row{.value = 256, .hex = "0100", .high = 1, .low = 0};
        QTest::newRow("65535") << Row{.value = 65535, .hex = "FFFF", .high = 255, .low = 255};
    }
    void aWordSplitsIntoHighAndLowByte() {
        QFETCH(Row, row);
        const ByteSplit split = splitWord(uint16_t(row.value));
        QCOMPARE(int(split.high), row.high);
        QCOMPARE(int(split.low), row.low);
        QCOMPARE(QString::fromStdString(addressHex(uint32_t(row.value))), row.hex);
    }

    // Where each box's range ends; which texts are numbers at all is wholeNumber's, tested with
    // it.
    void boxesTakeWholeNumbersUpToTheirLargest_data() {
        QTest::addColumn<Typed>("typed");
        QTest::newRow("255, leading zeros") << Typed{"00255", 255, 255, 255};
        QTest::newRow("256") << Typed{"256", 256, -1, 256};
        QTest::newRow("65535") << Typed{"65535", 65535, -1, 65535};
        QTest::newRow("65536") << Typed{"65536", -1, -1, -1};
        QTest::newRow("not a number") << Typed{"12ab", -1, -1, -1};
    }
    void boxesTakeWholeNumbersUpToTheirLargest() {
        QFETCH(Typed, typed);
        const std::string_view text(typed.text.constData(), size_t(typed.text.size()));
        auto shown = [](auto value) { return value ? int(*value) : -1; };
        QCOMPARE(shown(addressBox(text)), typed.address);
        QCOMPARE(shown(byteBox(text)), typed.byte);
        QCOMPARE(shown(wordBox(text)), typed.word);
    }
};

QTEST_APPLESS_MAIN(TestByteValues)
#include "test_bytevalues.moc"
