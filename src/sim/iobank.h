// The controller's digital inputs and outputs, numbered 0 to 255. An input is on when its
// value is not 0; IFINPUT compares the value itself when a compare value is given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pkivo::sim {

struct IoBank {
    static constexpr int count = 256;
    std::array<uint8_t, count> inputs{};
    std::array<uint8_t, count> outputs{}; // 1 on, 0 off
};

} // namespace pkivo::sim
