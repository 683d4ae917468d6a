// How boxes, settings fields and script operands become numbers and hex fields, written as the
// texts a user or a packet shows; "refused" stands for a text that is not taken as a number.
#include "core/numbertext.h"

#include <QTest>

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

// A text and what three readings of it give.
struct Row {
    B text, first, second{}, third{};
    qulonglong largest = 0;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    // digitsValue, wholeNumber and leadingDigits, the first two with the row's largest value.
    void strictWholeNumbersTakeOnlyDigits_data() {
        QTest::addColumn<Row>("row");
        const B most("18446744073709551615"), over("18446744073709551616");
        QTest::newRow("port 07") << Row{"07", "7", "7", "07", 99};
        QTest::newRow("empty") << Row{"", no, no, "", 99};
        QTest::newRow("spaces only") << Row{"   ", no, no, "", 99};
        QTest::newRow("spaces around") << Row{" 12 ", no, "12", "", 99};
        QTest::newRow("space inside") << Row{"1 2", no, no, "1", 99};
        QTest::newRow("tab is no space") << Row{"\t5", no, no, "", 99};
        QTest::newRow("plus sign") << Row{"+5", no, no, "", 99};
        QTest::newRow("superscript two") << Row{"\xc2\xb2", no, no, "", 99};
        QTest::newRow("past the line") << Row{"16777216", no, no, "16777216", 0xFFFFFF};
        QTest::newRow("largest 64 bits") << Row{most, most, most, most, ~0ULL};
        QTest::newRow("past 64 bits, no wrap") << Row{over, no, no, over, ~0ULL};
    }
    void strictWholeNumbersTakeOnlyDigits() {
        QFETCH(Row, row);
        QCOMPARE(shown(digitsValue(view(row.text), row.largest)), row.first);
        QCOMPARE(shown(wholeNumber(view(row.text), row.largest)), row.second);
        const std::string_view digits = leadingDigits(view(row.text));
        QCOMPARE(B(digits.data(), qsizetype(digits.size())), row.third);
    }

    // leadingNumber, clampedNumber at 65535 and leadingLong.
    void leadingNumbersStopAtTheFirstOtherCharacter_data() {
        QTest::addColumn<Row>("row");
        const B nines("99999999999999999999");
        QTest::newRow("empty") << Row{"", "0", "0", "0"};
        QTest::newRow("spaces skipped") << Row{"  12", "12", "12", "12"};
        QTest::newRow("tab not skipped") << Row{"\t12", "0", "0", "0"};
        QTest::newRow("minus sign") << Row{"-5", "0", "0", "0"};
        QTest::newRow("page line") << Row{"00012FFFF", "12", "12", "12"};
        QTest::newRow("above the clamp") << Row{"65536", "65536", "65535", "65536"};
        QTest::newRow("largest long") << Row{"2147483647", "2147483647", "65535", "2147483647"};
        QTest::newRow("past a long") << Row{"2147483648", "2147483648", "65535", no};
        QTest::newRow("nines saturate") << Row{nines, "1099511627776", "65535", no};
        QTest::newRow("many zeros first") << Row{"000000000000000000007", "7", "7", "7"};
    }
    void leadingNumbersStopAtTheFirstOtherCharacter() {
        QFETCH(Row, row);
        QCOMPARE(B::number(qulonglong(leadingNumber(view(row.text)))), row.first);
        QCOMPARE(B::number(qulonglong(clampedNumber(view(row.text), 65535))), row.second);
        QCOMPARE(shown(leadingLong(view(row.text))), row.third);
    }

    void typedNumbersRoundHalvesToEven_data() {
        QTest::addColumn<Row>("row");
        const B largest("2147483647"), smallest("-2147483648");
        QTest::newRow("spaces around") << Row{" 300 ", "300"};
        QTest::newRow("half down to even") << Row{"2.5", "2"};
        QTest::newRow("half up to even") << Row{"3.5", "4"};
        QTest::newRow("half, zeros after") << Row{"2.500", "2"};
        QTest::newRow("just past half") << Row{"2.5000001", "3"};
        QTest::newRow("negative odd half") << Row{"-3.5", "-4"};
        QTest::newRow("minus a half") << Row{"-0.5", "0"};
        QTest::newRow("plus sign") << Row{"+7", "7"};
        QTest::newRow("point first") << Row{".6", "1"};
        QTest::newRow("point last") << Row{"5.", "5"};
        QTest::newRow("empty") << Row{"", no};
        QTest::newRow("sign only") << Row{"-", no};
        QTest::newRow("unit after") << Row{"1500us", no};
        QTest::newRow("comma as point") << Row{"2,5", no};
        QTest::newRow("space after sign") << Row{"- 5", no};
        QTest::newRow("exponent") << Row{"1e3", no};
        QTest::newRow("largest long") << Row{largest, largest};
        QTest::newRow("past a long") << Row{"2147483648", no};
        QTest::newRow("rounds past a long") << Row{"2147483647.5", no};
        QTest::newRow("smallest long") << Row{smallest, smallest};
        QTest::newRow("half below smallest") << Row{"-2147483648.5", smallest};
        QTest::newRow("below smallest") << Row{"-2147483649", no};
        QTest::newRow("twenty nines") << Row{"99999999999999999999", no};
    }
    void typedNumbersRoundHalvesToEven() {
        QFETCH(Row, row);
        QCOMPARE(shown(roundedNumber(view(row.text))), row.first);
    }

    // hex32, and hexField as wide as the row's field.
    void valuesBecomeRightmostHexDigits_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<Row>("row");
        QTest::newRow("zero") << 0 << Row{"0", "00"};
        QTest::newRow("byte 300") << 300 << Row{"12C", "2C"};
        QTest::newRow("minus one byte") << -1 << Row{"FFFFFFFF", "FF"};
        QTest::newRow("minus one, 10 digits") << -1 << Row{"FFFFFFFF", "00FFFFFFFF"};
        QTest::newRow("smallest long")
            << std::numeric_limits<int>::min() << Row{"80000000", "80000000"};
        QTest::newRow("largest long")
            << std::numeric_limits<int>::max() << Row{"7FFFFFFF", "7FFFFFFF"};
    }
    void valuesBecomeRightmostHexDigits() {
        QFETCH(int, value);
        QFETCH(Row, row);
        QCOMPARE(B::fromStdString(hex32(value)), row.text);
        QCOMPARE(B::fromStdString(hexField(value, size_t(row.first.size()))), row.first);
    }

    void boxTextIsZeroFilledAsTyped_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("speed 7") << Row{"7", "007"};
        QTest::newRow("speed 1500") << Row{"1500", "500"};
        QTest::newRow("empty") << Row{"", "000"};
        QTest::newRow("not converted") << Row{" 7", "0 7"};
        QTest::newRow("no width") << Row{"5", ""};
    }
    void boxTextIsZeroFilledAsTyped() {
        QFETCH(Row, row);
        QCOMPARE(B::fromStdString(zeroFilled(view(row.text), size_t(row.first.size()))), row.first);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
