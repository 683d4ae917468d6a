// The memory editor's converters without a display: a byte as bits, hex and a character, a
// 16-bit value as two bytes, and which typed texts the address, byte and 16-bit boxes take.
#include "core/bytevalues.h"

#include <QTest>

using namespace pkivo;
using namespace pkivo::bytevalue;

class TestByteValues : public QObject {
    Q_OBJECT

private slots:
    void aByteShowsAsBitsHexAndCharacter_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("bits"); // bit 7 first
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("character");
        auto row = [](const char* name, int value, const char* bits, const char* hex,
                      const QString& character) {
            QTest::newRow(name) << value << QString(bits) << QString(hex) << character;
        };
        row("0", 0, "00000000", "0", QString(QChar(0)));
        row("42 is an asterisk", 42, "00101010", "2A", "*");
        row("255 is y diaeresis", 255, "11111111", "FF", QString(QChar(0xFF)));
    }
    void aByteShowsAsBitsHexAndCharacter() {
        QFETCH(int, value);
        QFETCH(QString, bits);
        QFETCH(QString, hex);
        QFETCH(QString, character);
        const Bits split = bitsOf(uint8_t(value));
        QString shown;
        for (size_t k = split.size(); k-- > 0;) {
            shown += split[k] ? '1' : '0';
        }
        QCOMPARE(shown, bits);
        QCOMPARE(int(byteOf(split)), value);
        QCOMPARE(QString::fromStdString(hexText(uint32_t(value))), hex);
        QCOMPARE(QString::fromLatin1(characterOf(uint8_t(value)).c_str(), 1), character);
    }

    void aWordSplitsIntoHighAndLowByte_data() {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QString>("addressHex");
        QTest::newRow("4660") << 4660 << 18 << 52 << "1234";
        QTest::newRow("256") << 256 << 1 << 0 << "0100";
        QTest::newRow("65535") << 65535 << 255 << 255 << "FFFF";
    }
    void aWordSplitsIntoHighAndLowByte() {
        QFETCH(int, word);
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(QString, addressHex);
        const ByteSplit split = splitWord(uint16_t(word));
        QCOMPARE(int(split.high), high);
        QCOMPARE(int(split.low), low);
        QCOMPARE(QString::fromStdString(bytevalue::addressHex(uint32_t(word))), addressHex);
    }

    // Where each box's range ends; which texts are numbers at all is wholeNumber's, tested with
    // it. -1 stands for a refused text.
    void boxesTakeWholeNumbersUpToTheirLargest_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("word");
        QTest::newRow("255, leading zeros") << QByteArray("00255") << 255 << 255 << 255;
        QTest::newRow("256") << QByteArray("256") << 256 << -1 << 256;
        QTest::newRow("65535") << QByteArray("65535") << 65535 << -1 << 65535;
        QTest::newRow("65536") << QByteArray("65536") << -1 << -1 << -1;
        QTest::newRow("not a number") << QByteArray("12ab") << -1 << -1 << -1;
    }
    void boxesTakeWholeNumbersUpToTheirLargest() {
        QFETCH(QByteArray, typed);
        QFETCH(int, address);
        QFETCH(int, byte);
        QFETCH(int, word);
        const std::string_view text(typed.constData(), size_t(typed.size()));
        auto shown = [](auto value) { return value ? int(*value) : -1; };
        QCOMPARE(shown(addressBox(text)), address);
        QCOMPARE(shown(byteBox(text)), byte);
        QCOMPARE(shown(wordBox(text)), word);
    }
};

QTEST_APPLESS_MAIN(TestByteValues)
#include "test_bytevalues.moc"
