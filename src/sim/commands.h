// What the controller does with each packet it receives and what it answers: the long command
// codes R00-R1W, the short commands OE/OR/OF/OS/OT/OU/OD/OO, flash page lines and packed
// record writes. Pure functions of the machine and the packet; framing and timing are the
// protocol's.
#pragma once

#include "sim/machine.h"

#include <optional>
#include <string>
#include <string_view>

namespace pkivo::sim {

// The version text of the answer to R02 (reply positions 7-19).
inline constexpr std::string_view versionText = "Version SIM 1";
// The answer to a short packet the controller cannot take.
inline constexpr std::string_view shortInvalidReply = "O?ERROR?H";

// Result codes at long reply position 62.
inline constexpr char resultOk = '0';
inline constexpr char resultInvalidPacket = '1';
inline constexpr char resultInvalidInstruction = 'X';

// A long packet as received after "$" (64 characters, or the 67 of the version request). The
// reply, or nothing for the commands that take none (R00, R05, R07).
std::optional<std::string> handleLongPacket(Machine& machine, const std::string& packet,
                                            Micros now);
// A short packet as received after "-". Always answered with 9 characters.
std::string handleShortPacket(Machine& machine, const std::string& packet, Micros now);
// A flash page line (5 decimal digits of page number and 528 hex digits) after "#" and "$":
// answered with a long reply that begins "OV0OK" when the page was written.
std::string handlePageLine(Machine& machine, const std::string& line);
// A packed record write after "#" and "+", without the closing "~": "OV0R1D", the line as 6
// hex digits and 64 record digits. Never answered; false when it could not be taken.
bool handlePackedWrite(Machine& machine, const std::string& data);

} // namespace pkivo::sim
