// Fixed-width text fields: the one way records, packets and listings put values into columns.
// Positions are 1-based, as the controller's documentation and the record layouts count them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pkivo {

struct Field {
    int position; // 1-based first character
    int width;
};

// The rightmost `width` characters of `fill` + `value` ("000000" + hex for a line number).
std::string rightmost(std::string_view text, size_t width);
std::string fixedWidth(std::string_view fill, std::string_view value, size_t width);

// The characters of `field` in `record`; the part beyond the record's end is cut off.
std::string cut(const std::string& record, Field field);
// Overwrites `field` of `record` with the first `width` characters of `value`; characters past
// the record's end are not written, so the record never changes length.
void overwrite(std::string& record, Field field, std::string_view value);

// Upper-case hexadecimal without leading zeros ("0" for zero).
std::string hexText(uint64_t value);
// The rightmost `digits` digits of zero-filled hex: hexDigits(300, 4) == "012C".
std::string hexDigits(uint64_t value, size_t digits);
// The rightmost `digits` digits of zero-filled decimal.
std::string decimalDigits(uint64_t value, size_t digits);

// Reads `text` as hexadecimal; false when it is empty or holds a non-hex character.
bool parseHex(std::string_view text, uint64_t& value);

} // namespace pkivo
