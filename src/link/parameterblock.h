// Writing the board parameter block back: Store and "params set" change the fields the Board
// Parameters window shows and send every other bit and digit exactly as the controller
// reported it, so the block read by the last Get is the base of every write.
#pragma once

#include "link/replies.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

inline constexpr uint32_t maxReportRate = 255;
inline constexpr uint32_t maxPulseWidth = 65535;

// A typed box value: a number, rounded to whole, from 0 to `largest`; nothing for any other
// text. A value out of range is refused rather than cut to its low bits.
std::optional<uint32_t> parameterValue(std::string_view typed, uint32_t largest);

// `shown.boardparams` (the 32 digits as read) with every shown field written over it: the
// report rate, the pulse widths and the active servos byte whole, the flags, run controls and
// I/O bytes bit by bit, keeping their other bits (and a storage mode of 3, shown as Other,
// while Other stays selected). Nothing when no block of 32 digits was read.
std::optional<std::string> encodeBoardParameters(const reply::BoardParameters& shown);

} // namespace pkivo
