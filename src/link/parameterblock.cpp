#include "link/parameterblock.h"

#include "core/numbertext.h"
#include "core/textfield.h"

namespace pkivo {

namespace {

namespace at = reply::parameterDigits;

uint32_t bitIf(bool on, int n) {
    return on ? 1U << n : 0U;
}

// The byte at `field` as read, keeping only the bits of `keep`, with `shownBits` added.
void mergeByte(std::string& block, Field field, uint32_t keep, uint32_t shownBits) {
    const uint32_t asRead = reply::hexFieldValue(cut(block, field));
    overwrite(block, field, hexField(int32_t((asRead & keep) | shownBits), 2));
}

// Other is 2, but a block that held 3 (shown as Other too) keeps its 3: a Store that did not
// touch the option must not change the mode.
uint32_t storageBits(reply::StorageMode mode, uint32_t asRead) {
    switch (mode) {
    case reply::StorageMode::Seperate:
        return 0;
    case reply::StorageMode::Common:
        return 1;
    case reply::StorageMode::Other:
        break;
    }
    return (asRead & 3U) == 3U ? 3U : 2U;
}

} // namespace

std::optional<uint32_t> parameterValue(std::string_view typed, uint32_t largest) {
    const std::optional<int32_t> value = roundedNumber(typed);
    if (!value || *value < 0 || uint32_t(*value) > largest) {
        return std::nullopt;
    }
    return uint32_t(*value);
}

std::optional<std::string> encodeBoardParameters(const reply::BoardParameters& shown) {
    if (shown.boardparams.size() != size_t(packet::parameterBlock.width)) {
        return std::nullopt;
    }
    std::string block = shown.boardparams;
    overwrite(block, at::reportRate, hexField(shown.reportrate, 2));
    overwrite(block, at::minPulse, hexField(shown.minpulse, 4));
    overwrite(block, at::maxPulse, hexField(shown.maxpulse, 4));
    uint32_t servos = 0;
    for (int k = 0; k < 8; ++k) {
        servos |= bitIf(shown.Servos1[size_t(k)], k);
    }
    overwrite(block, at::activeServos, hexField(int32_t(servos), 2));
    const uint32_t flags = reply::hexFieldValue(cut(block, at::flags));
    mergeByte(block, at::flags, 0xF0,
              bitIf(shown.uselimits, 3) | bitIf(shown.reporton, 2) |
                  storageBits(shown.storage, flags));
    mergeByte(block, at::runControls, 0xF8,
              bitIf(shown.Runonhw, 2) | bitIf(shown.Runonpb, 1) | bitIf(shown.Runonpu, 0));
    mergeByte(block, at::ioOptions, 0xFE, bitIf(shown.iocon1, 0));
    return block;
}

} // namespace pkivo
