// The memory editor's numbers: a byte as eight bits, in hex and as a character, a 16-bit value
// split into its two bytes, and the boxes the editor takes addresses and bytes from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo::bytevalue {

inline constexpr uint32_t largestAddress = 65535;
inline constexpr uint32_t largestByte = 255;
inline constexpr uint32_t largestWord = 65535;

// Bit k of `value` at index k: index 0 is the bit of weight 1.
using Bits = std::array<bool, 8>;
Bits bitsOf(uint8_t value);
// The sum of the weights of the bits that are set.
uint8_t byteOf(const Bits& bits);

// Upper-case hex without leading zeros: 42 is "2A", 0 is "0".
std::string hexText(uint32_t value);
// An address as its four hex digits: 4660 is "1234".
std::string addressHex(uint32_t address);
// The single-byte character whose code is `value` (Latin-1).
std::string characterOf(uint8_t value);

// A 16-bit value as high byte (value div 256) and low byte.
struct ByteSplit {
    uint8_t high = 0;
    uint8_t low = 0;
};
ByteSplit splitWord(uint16_t value);

// What a box may hold: decimal digits, spaces around them allowed, within the box's range.
// Nothing for anything else (empty, a sign, a letter, too large), and then nothing is sent.
std::optional<uint16_t> addressBox(std::string_view text);
std::optional<uint8_t> byteBox(std::string_view text);
std::optional<uint16_t> wordBox(std::string_view text);

} // namespace pkivo::bytevalue
