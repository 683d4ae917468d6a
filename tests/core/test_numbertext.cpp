// How boxes, settings fields and script operands become numbers and hex fields, written as the
// texts a user or a packet shows; "refused" stands for a text that is not taken as a number.
#include "core/numbertext.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace pkivo;
using B = QByteArray;

namespace {

const B no("refused");

template <typename T> B shown(const std::optional<T>& value) {
    return value ? B::number(*value) : no;
}

std::string_view view(const B& text) {
    return {text.constData(), size_t(text.size())};
}

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void strictWholeNumbersTakeOnlyDigits_data() {
        QTest::addColumn<B>("text");
        QTest::addColumn<qulonglong>("largest");
        QTest::addColumn<B>("digitsOnly");   // digitsValue
        QTest::addColumn<B>("spacesAround"); // wholeNumber
        QTest::addColumn<B>("run");          // leadingDigits
        const qulonglong line = 0xFFFFFF;
        const qulonglong all = ~0ULL;
        const B top("16777215");
        const B most("18446744073709551615");
        const B over("18446744073709551616");
        QTest::newRow("port 07") << B("07") << 99ULL << B("7") << B("7") << B("07");
        QTest::newRow("empty") << B("") << 99ULL << no << no << B("");
        QTest::newRow("spaces only") << B("   ") << 99ULL << no << no << B("");
        QTest::newRow("spaces around") << B(" 12 ") << 99ULL << no << B("12") << B("");
        QTest::newRow("space inside") << B("1 2") << 99ULL << no << no << B("1");
        QTest::newRow("tab is no space") << B("\t5") << 99ULL << no << no << B("");
        QTest::newRow("plus sign") << B("+5") << 99ULL << no << no << B("");
        QTest::newRow("fraction") << B("1.5") << 99ULL << no << no << B("1");
        QTest::newRow("superscript two") << B("\xc2\xb2") << 99ULL << no << no << B("");
        QTest::newRow("largest line") << top << line << top << top << top;
        QTest::newRow("past the line") << B("16777216") << line << no << no << B("16777216");
        QTest::newRow("largest 64 bits") << most << all << most << most << most;
        QTest::newRow("past 64 bits, no wrap") << over << all << no << no << over;
    }
    void strictWholeNumbersTakeOnlyDigits() {
        QFETCH(B, text);
        QFETCH(qulonglong, largest);
        QFETCH(B, digitsOnly);
        QFETCH(B, spacesAround);
        QFETCH(B, run);
        QCOMPARE(shown(digitsValue(view(text), largest)), digitsOnly);
        QCOMPARE(shown(wholeNumber(view(text), largest)), spacesAround);
        const std::string_view digits = leadingDigits(view(text));
        QCOMPARE(B(digits.data(), qsizetype(digits.size())), run);
    }

    void leadingNumbersStopAtTheFirstOtherCharacter_data() {
        QTest::addColumn<B>("text");
        QTest::addColumn<qulonglong>("number"); // leadingNumber
        QTest::addColumn<B>("clamped");         // clampedNumber at 65535
        QTest::addColumn<B>("asLong");          // leadingLong
        const B nines("99999999999999999999");
        QTest::newRow("baud field") << B("057600") << 57600ULL << B("57600") << B("57600");
        QTest::newRow("empty") << B("") << 0ULL << B("0") << B("0");
        QTest::newRow("spaces skipped") << B("  12") << 12ULL << B("12") << B("12");
        QTest::newRow("tab not skipped") << B("\t12") << 0ULL << B("0") << B("0");
        QTest::newRow("minus sign") << B("-5") << 0ULL << B("0") << B("0");
        QTest::newRow("page line") << B("00012FFFF") << 12ULL << B("12") << B("12");
        QTest::newRow("clamp limit") << B("65535") << 65535ULL << B("65535") << B("65535");
        QTest::newRow("above the clamp") << B("65536") << 65536ULL << B("65535") << B("65536");
        QTest::newRow("largest long")
            << B("2147483647") << 2147483647ULL << B("65535") << B("2147483647");
        QTest::newRow("past a long") << B("2147483648") << 2147483648ULL << B("65535") << no;
        QTest::newRow("nines saturate") << nines << 1099511627776ULL << B("65535") << no;
        QTest::newRow("many zeros first") << B("000000000000000000007") << 7ULL << B("7") << B("7");
    }
    void leadingNumbersStopAtTheFirstOtherCharacter() {
        QFETCH(B, text);
        QFETCH(qulonglong, number);
        QFETCH(B, clamped);
        QFETCH(B, asLong);
        QCOMPARE(qulonglong(leadingNumber(view(text))), number);
        QCOMPARE(B::number(qulonglong(clampedNumber(view(text), 65535))), clamped);
        QCOMPARE(shown(leadingLong(view(text))), asLong);
    }

    void typedNumbersRoundHalvesToEven_data() {
        QTest::addColumn<B>("text");
        QTest::addColumn<B>("strict");  // roundedNumber
        QTest::addColumn<B>("leading"); // leadingRoundedNumber
        QTest::addColumn<B>("word");    // typedHexField, 4 digits
        const B largest("2147483647");
        const B smallest("-2147483648");
        QTest::newRow("whole") << B("1500") << B("1500") << B("1500") << B("05DC");
        QTest::newRow("spaces around") << B(" 300 ") << B("300") << B("300") << B("012C");
        QTest::newRow("half down to even") << B("2.5") << B("2") << B("2") << B("0002");
        QTest::newRow("half up to even") << B("3.5") << B("4") << B("4") << B("0004");
        QTest::newRow("half, zeros after") << B("2.500") << B("2") << B("2") << B("0002");
        QTest::newRow("just past half") << B("2.5000001") << B("3") << B("3") << B("0003");
        QTest::newRow("just below half") << B("2.4999") << B("2") << B("2") << B("0002");
        QTest::newRow("negative odd half") << B("-3.5") << B("-4") << B("-4") << B("FFFC");
        QTest::newRow("minus a half") << B("-0.5") << B("0") << B("0") << B("0000");
        QTest::newRow("plus sign") << B("+7") << B("7") << B("7") << B("0007");
        QTest::newRow("point first") << B(".6") << B("1") << B("1") << B("0001");
        QTest::newRow("point last") << B("5.") << B("5") << B("5") << B("0005");
        QTest::newRow("empty") << B("") << no << B("0") << no;
        QTest::newRow("sign only") << B("-") << no << B("0") << no;
        QTest::newRow("unit after") << B("1500us") << no << B("1500") << no;
        QTest::newRow("two points") << B("1.2.3") << no << B("1") << no;
        QTest::newRow("comma as point") << B("2,5") << no << B("2") << no;
        QTest::newRow("space after sign") << B("- 5") << no << B("0") << no;
        QTest::newRow("exponent") << B("1e3") << no << B("1") << no;
        QTest::newRow("largest long") << largest << largest << largest << B("FFFF");
        QTest::newRow("past a long") << B("2147483648") << no << no << no;
        QTest::newRow("rounds past a long") << B("2147483647.5") << no << no << no;
        QTest::newRow("smallest long") << smallest << smallest << smallest << B("0000");
        QTest::newRow("half below smallest")
            << B("-2147483648.5") << smallest << smallest << B("0000");
        QTest::newRow("below smallest") << B("-2147483649") << no << no << no;
        QTest::newRow("twenty nines") << B("99999999999999999999") << no << no << no;
    }
    void typedNumbersRoundHalvesToEven() {
        QFETCH(B, text);
        QFETCH(B, strict);
        QFETCH(B, leading);
        QFETCH(B, word);
        QCOMPARE(shown(roundedNumber(view(text))), strict);
        QCOMPARE(shown(leadingRoundedNumber(view(text))), leading);
        const std::optional<std::string> hex = typedHexField(view(text), 4);
        QCOMPARE(hex ? B::fromStdString(*hex) : no, word);
    }

    void scaledValuesRoundHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<B>("whole");
        QTest::newRow("two and a half") << 2.5 << B("2");
        QTest::newRow("minus one and a half") << -1.5 << B("-2");
        QTest::newRow("below half") << 2.4999999 << B("2");
        QTest::newRow("past half") << 2.5000001 << B("3");
        QTest::newRow("largest long") << 2147483647.4 << B("2147483647");
        QTest::newRow("rounds past a long") << 2147483647.5 << no;
        QTest::newRow("half below smallest") << -2147483648.5 << B("-2147483648");
        QTest::newRow("not a number") << std::nan("") << no;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << no;
    }
    void scaledValuesRoundHalvesToEven() {
        QFETCH(double, value);
        QFETCH(B, whole);
        QCOMPARE(shown(roundHalfEven(value)), whole);
    }

    void valuesBecomeRightmostHexDigits_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<B>("hex");   // hex32, read back by parseHex32
        QTest::addColumn<B>("field"); // hexField
        const int smallest = std::numeric_limits<int>::min();
        const int largest = std::numeric_limits<int>::max();
        QTest::newRow("zero") << 0 << B("0") << B("00");
        QTest::newRow("line 32000") << 32000 << B("7D00") << B("007D00");
        QTest::newRow("byte 300") << 300 << B("12C") << B("2C");
        QTest::newRow("minus one byte") << -1 << B("FFFFFFFF") << B("FF");
        QTest::newRow("minus one, 10 digits") << -1 << B("FFFFFFFF") << B("00FFFFFFFF");
        QTest::newRow("smallest long") << smallest << B("80000000") << B("80000000");
        QTest::newRow("largest long") << largest << B("7FFFFFFF") << B("7FFFFFFF");
    }
    void valuesBecomeRightmostHexDigits() {
        QFETCH(int, value);
        QFETCH(B, hex);
        QFETCH(B, field);
        QCOMPARE(B::fromStdString(hex32(value)), hex);
        QCOMPARE(B::fromStdString(hexField(value, size_t(field.size()))), field);
        QCOMPARE(shown(parseHex32(view(hex))), B::number(value));
    }

    void onlyHexOfAtMostEightDigitsReadsBack_data() {
        QTest::addColumn<B>("text");
        QTest::addColumn<B>("value");
        QTest::newRow("lower case") << B("ff") << B("255");
        QTest::newRow("empty") << B("") << no;
        QTest::newRow("bad digit") << B("12G4") << no;
        QTest::newRow("space first") << B(" 12") << no;
        QTest::newRow("minus sign") << B("-1") << no;
        QTest::newRow("nine digits") << B("0FFFFFFFF") << no;
    }
    void onlyHexOfAtMostEightDigitsReadsBack() {
        QFETCH(B, text);
        QFETCH(B, value);
        QCOMPARE(shown(parseHex32(view(text))), value);
    }

    void boxTextIsZeroFilledAsTyped_data() {
        QTest::addColumn<B>("text");
        QTest::addColumn<B>("field");
        QTest::newRow("speed 7") << B("7") << B("007");
        QTest::newRow("speed 1500") << B("1500") << B("500");
        QTest::newRow("empty") << B("") << B("000");
        QTest::newRow("not converted") << B(" 7") << B("0 7");
        QTest::newRow("no width") << B("5") << B("");
    }
    void boxTextIsZeroFilledAsTyped() {
        QFETCH(B, text);
        QFETCH(B, field);
        QCOMPARE(B::fromStdString(zeroFilled(view(text), size_t(field.size()))), field);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
