#include "core/textfield.h"

#include "core/numbertext.h"

#include <algorithm>

namespace pkivo {

std::string rightmost(std::string_view text, size_t width) {
    return std::string(text.size() > width ? text.substr(text.size() - width) : text);
}

std::string fixedWidth(std::string_view fill, std::string_view value, size_t width) {
    if (value.size() >= width) {
        return std::string(value.substr(value.size() - width));
    }
    const size_t fromFill = std::min(fill.size(), width - value.size());
    std::string joined(fill.substr(fill.size() - fromFill));
    return joined.append(value);
}

std::string cut(const std::string& record, Field field) {
    size_t start = size_t(field.position - 1);
    if (start >= record.size()) {
        return {};
    }
    return record.substr(start, size_t(field.width));
}

void overwrite(std::string& record, Field field, std::string_view value) {
    size_t start = size_t(field.position - 1);
    for (size_t i = 0; i < value.size() && i < size_t(field.width); ++i) {
        if (start + i < record.size()) {
            record[start + i] = value[i];
        }
    }
}

std::string hexText(uint64_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::string hexDigits(uint64_t value, size_t digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text(digits, '0');
    for (size_t i = digits; i > 0 && value != 0; --i, value >>= 4) {
        text[i - 1] = hex[value & 0xF];
    }
    return text;
}

std::string decimalDigits(uint64_t value, size_t digits) {
    return zeroFilled(std::to_string(value), digits);
}

bool parseHex(std::string_view text, uint64_t& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    value = 0;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                             : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + uint64_t(digit);
    }
    return true;
}

} // namespace pkivo
