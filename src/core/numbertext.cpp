#include "core/numbertext.h"

#include "core/textfield.h"

#include <algorithm>
#include <limits>

namespace pkivo {

namespace {

std::string_view withoutLeadingSpaces(std::string_view text) {
    return text.substr(std::min(text.find_first_not_of(' '), text.size()));
}

std::string_view trimmed(std::string_view text) {
    text = withoutLeadingSpaces(text);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

uint64_t saturatedValue(std::string_view digits) {
    uint64_t value = 0;
    for (char c : digits) {
        value = std::min(numberCeiling, value * 10 + uint64_t(c - '0'));
    }
    return value;
}

std::optional<int32_t> signedLong(bool negative, uint64_t magnitude) {
    constexpr auto largest = uint64_t(std::numeric_limits<int32_t>::max());
    if (magnitude > largest + uint64_t(negative)) {
        return std::nullopt;
    }
    return int32_t(negative ? -int64_t(magnitude) : int64_t(magnitude));
}

// A decimal number at the start of a text: an optional sign, whole digits, a point and fraction
// digits. At least one digit on either side of the point makes a number.
struct DecimalPrefix {
    size_t length = 0; // characters taken; 0 when the text does not start with a number
    bool negative = false;
    uint64_t whole = 0;
    std::string_view fraction;
};

DecimalPrefix readDecimal(std::string_view text) {
    DecimalPrefix number;
    size_t at = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        number.negative = text[0] == '-';
        ++at;
    }
    std::string_view whole = leadingDigits(text.substr(at));
    at += whole.size();
    if (at < text.size() && text[at] == '.') {
        number.fraction = leadingDigits(text.substr(at + 1));
        at += 1 + number.fraction.size();
    }
    if (whole.empty() && number.fraction.empty()) {
        return {};
    }
    number.length = at;
    number.whole = saturatedValue(whole);
    return number;
}

// Exactly half goes to the even neighbour, so 1.5 and 2.5 both become 2; anything past half,
// however little, goes up.
std::optional<int32_t> rounded(const DecimalPrefix& number) {
    uint64_t magnitude = number.whole;
    if (!number.fraction.empty()) {
        const char first = number.fraction.front();
        const bool pastHalf = number.fraction.find_first_not_of('0', 1) != std::string_view::npos;
        if (first > '5' || (first == '5' && (pastHalf || magnitude % 2 != 0))) {
            ++magnitude;
        }
    }
    return signedLong(number.negative, magnitude);
}

} // namespace

std::string_view leadingDigits(std::string_view text) {
    size_t end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    return text.substr(0, end);
}

std::optional<uint64_t> digitsValue(std::string_view text, uint64_t largest) {
    if (text.empty() || leadingDigits(text).size() != text.size()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        const auto digit = uint64_t(c - '0');
        if (value > largest / 10 || digit > largest - value * 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::optional<uint64_t> wholeNumber(std::string_view text, uint64_t largest) {
    return digitsValue(trimmed(text), largest);
}

uint64_t leadingNumber(std::string_view text) {
    return saturatedValue(leadingDigits(withoutLeadingSpaces(text)));
}

uint64_t clampedNumber(std::string_view text, uint64_t largest) {
    return std::min(leadingNumber(text), largest);
}

std::optional<int32_t> leadingLong(std::string_view text) {
    return signedLong(false, leadingNumber(text));
}

std::optional<int32_t> roundedNumber(std::string_view text) {
    text = trimmed(text);
    const DecimalPrefix number = readDecimal(text);
    if (number.length == 0 || number.length != text.size()) {
        return std::nullopt;
    }
    return rounded(number);
}

std::string hex32(int32_t value) {
    return hexText(uint32_t(value));
}

std::string hexField(int32_t value, size_t digits) {
    return hexDigits(uint32_t(value), digits);
}

std::string zeroFilled(std::string_view text, size_t width) {
    if (text.size() >= width) {
        return std::string(text.substr(text.size() - width));
    }
    std::string filled(width - text.size(), '0');
    return filled.append(text);
}

} // namespace pkivo
