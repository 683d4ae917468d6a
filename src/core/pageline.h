// One flash page as one text line: the page number as 5 decimal digits, then the page's 528 hex
// digits (16 records of 32 digits, then 16 more). The converter writes such lines, the download
// and the flash tools send them, the controller stores them: this is their one definition.
#pragma once

#include "core/textfield.h"

#include <cstddef>

namespace pkivo::pageline {

inline constexpr size_t recordDigits = 32; // one instruction record
inline constexpr size_t recordsPerPage = 16;
inline constexpr size_t pageDigits = 528; // 16 records, then 16 digits never written
inline constexpr size_t numberDigits = 5; // the page number, decimal
inline constexpr size_t length = numberDigits + pageDigits; // 533

inline constexpr Field number{1, int(numberDigits)};
inline constexpr Field digits{int(numberDigits) + 1, int(pageDigits)};

} // namespace pkivo::pageline
