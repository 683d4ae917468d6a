// The controller's 16-byte instruction record, carried as 32 upper-case hex digits, and the
// page of 16 records that flash holds and the converter fills.
#pragma once

#include "core/pageline.h"
#include "core/textfield.h"

namespace pkivo::instruction {

inline constexpr size_t recordDigits = pageline::recordDigits;
inline constexpr size_t recordsPerPage = pageline::recordsPerPage;
// A page buffer: 16 records, then 16 digits that are never written.
inline constexpr size_t pageDigits = pageline::pageDigits;
inline constexpr size_t pageNumberDigits = pageline::numberDigits;

inline constexpr Field opcode{1, 2};
inline constexpr Field selector{3, 2};  // register code, or IFINPUT's input number
inline constexpr Field operand{5, 4};   // position, target, count, value, output, compare value
inline constexpr Field mode{9, 2};      // MOVE's rate source, IFINPUT's action
inline constexpr Field argument{11, 4}; // MOVE's rate or table, IFINPUT's target

namespace op {
inline constexpr const char* move = "00";
inline constexpr const char* jump = "0A";
inline constexpr const char* call = "14";
inline constexpr const char* ret = "16";
inline constexpr const char* doLoop = "1E";
inline constexpr const char* loop = "20";
inline constexpr const char* wait = "28";
inline constexpr const char* ifInput = "32";
inline constexpr const char* outputOn = "40";
inline constexpr const char* outputOff = "41";
inline constexpr const char* setRegister = "50";
inline constexpr const char* addRegister = "52";
inline constexpr const char* subtractRegister = "54";
inline constexpr const char* stop = "80";
inline constexpr const char* noOperation = "FE";
inline constexpr const char* none = "FF";
} // namespace op

// MOVE's rate sources and IFINPUT's actions (digits 9-10).
namespace rate {
inline constexpr const char* immediate = "00";
inline constexpr const char* table = "01";
inline constexpr const char* dsr1 = "02";
} // namespace rate
namespace action {
inline constexpr const char* jump = "0A";
inline constexpr const char* call = "14";
inline constexpr const char* stop = "80";
} // namespace action

} // namespace pkivo::instruction
