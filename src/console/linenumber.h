// Reading a program line number typed by the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pkivo {

// The largest line a packet can carry: six hex digits.
inline constexpr uint32_t largestLine = 0xFFFFFF;

// The line in `text` when it is a whole decimal number from 0 to 16,777,215 (spaces around it
// allowed), else nothing.
std::optional<uint32_t> parseLineNumber(const std::string& text);

} // namespace pkivo
