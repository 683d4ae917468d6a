#include "core/bytevalues.h"

#include "core/numbertext.h"

namespace pkivo::bytevalue {

Bits bitsOf(uint8_t value) {
    Bits bits{};
    for (size_t k = 0; k < bits.size(); ++k) {
        bits[k] = ((value >> k) & 1) != 0;
    }
    return bits;
}

uint8_t byteOf(const Bits& bits) {
    uint32_t value = 0;
    for (size_t k = 0; k < bits.size(); ++k) {
        if (bits[k]) {
            value += 1u << k;
        }
    }
    return uint8_t(value);
}

std::string hexText(uint32_t value) {
    return hex32(int32_t(value));
}

std::string addressHex(uint32_t address) {
    return hexField(int32_t(address), 4);
}

std::string characterOf(uint8_t value) {
    return std::string(1, char(value));
}

ByteSplit splitWord(uint16_t value) {
    return {uint8_t(value / 256), uint8_t(value % 256)};
}

std::optional<uint16_t> addressBox(std::string_view text) {
    std::optional<uint64_t> value = wholeNumber(text, largestAddress);
    return value ? std::optional<uint16_t>(uint16_t(*value)) : std::nullopt;
}

std::optional<uint8_t> byteBox(std::string_view text) {
    std::optional<uint64_t> value = wholeNumber(text, largestByte);
    return value ? std::optional<uint8_t>(uint8_t(*value)) : std::nullopt;
}

std::optional<uint16_t> wordBox(std::string_view text) {
    std::optional<uint64_t> value = wholeNumber(text, largestWord);
    return value ? std::optional<uint16_t>(uint16_t(*value)) : std::nullopt;
}

} // namespace pkivo::bytevalue
