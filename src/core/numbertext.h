// Numbers typed into boxes, held in settings fields and written in scripts, and the hex fields
// that packets and records carry them in: one set of rules for every window and reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

// Runs of digits are read up to this value and no further: far above any field, so a long run
// neither wraps nor overflows, and still above every 32-bit limit so that it fails those checks.
inline constexpr uint64_t numberCeiling = uint64_t(1) << 40;

// --- decimal text ---------------------------------------------------------------------------

// The run of decimal digits at the very start of `text`; empty when it starts with anything else.
std::string_view leadingDigits(std::string_view text);

// A text made only of decimal digits, as a number; nothing when it is empty, holds any other
// character (space, sign, point) or is above `largest`.
std::optional<uint64_t> digitsValue(std::string_view text, uint64_t largest);
// As digitsValue, with spaces allowed around the digits: what a box for a port or line takes.
std::optional<uint64_t> wholeNumber(std::string_view text, uint64_t largest);

// Leading spaces skipped, then the digits up to the first other character; 0 when there are
// none, numberCeiling at most ("057600" is 57600, "12ab" is 12).
uint64_t leadingNumber(std::string_view text);
// leadingNumber with anything above `largest` read as `largest` (the clamped script operands).
uint64_t clampedNumber(std::string_view text, uint64_t largest);
// leadingNumber when a 32-bit signed integer holds it; nothing beyond, where no hex form exists.
std::optional<int32_t> leadingLong(std::string_view text);

// --- typed numbers, rounded to whole ----------------------------------------------------------

// A typed number rounded to a whole one, halves to even: spaces around, an optional sign, digits
// with an optional fraction ("2.5" is 2, "-3.5" is -4); nothing for any other text or when the
// result needs more than 32 bits.
std::optional<int32_t> roundedNumber(std::string_view text);

// --- hexadecimal ------------------------------------------------------------------------------

// Upper-case hex without leading zeros; a negative value as its 32-bit two's complement, so -1
// is "FFFFFFFF".
std::string hex32(int32_t value);
// The rightmost `digits` digits of zeros + hex32(value): hexField(300, 2) == "2C",
// hexField(-1, 4) == "FFFF".
std::string hexField(int32_t value, size_t digits);

// --- fixed-width text -------------------------------------------------------------------------

// The rightmost `width` characters of `width` zeros + `text`: a box sent as typed, with no
// conversion ("7" in 3 is "007", "1234" in 3 is "234").
std::string zeroFilled(std::string_view text, size_t width);

} // namespace pkivo
