// The Position Manager's exchanges: stored position sets read and written by line, the servos'
// current positions, a move to a stored set, an output switched, and one jog step. The window
// and `pkivo-cli position`, `jog` and `output` both go through here, with the same ranges.
//
// Nothing that failed reaches a box: a Get whose exchange failed brings no positions (the
// buffer is empty after a time-out, and a Put that followed would drive servos to 0), and a
// jog step brings a position only from an exact 9-character reply.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

class Link;

inline constexpr uint32_t largestPositionLine = 32000;
inline constexpr uint32_t largestPosition = 65535;
inline constexpr uint32_t largestOutput = 255;
inline constexpr uint16_t noMovePosition = 65535; // a stored servo that MOVE leaves alone
inline constexpr int jogFailureLimit = 3;         // failed steps in a row that end a jog

// What the boxes take: whole numbers within their field, spaces around allowed; nothing else.
std::optional<uint32_t> positionLineBox(std::string_view text);
std::optional<uint16_t> positionBox(std::string_view text);
std::optional<uint8_t> outputBox(std::string_view text);
// The line as Text2 shows it: six decimal digits.
std::string lineText(uint32_t line);

// How an exchange went: `status` is errcode, a space and errtext ("B Link busy" when another
// exchange held the link and nothing was sent); `reply` is what the buffer held afterwards.
struct PositionExchange {
    bool ok = false;
    bool busy = false;
    std::string status;
    std::string reply;
};

struct StoredSet : PositionExchange {
    std::array<std::string, 8> positions; // as received, five characters each; only when ok
};
struct CurrentSet : PositionExchange {
    std::array<uint16_t, 8> positions{}; // only when ok
};

StoredSet readStoredSet(Link& link, uint32_t line);  // R18
PositionExchange storeSet(Link& link, uint32_t line, // R19
                          const std::array<uint16_t, 8>& positions);
CurrentSet readCurrentSet(Link& link, uint32_t line);               // R01
PositionExchange moveToSet(Link& link, uint32_t line);              // OT
PositionExchange switchOutput(Link& link, uint8_t output, bool on); // OO

// One jog step: `step` 1 or 10, servo 1 to 8. ok only with an exact 9-character reply; the
// reply's servo (0 when it names none) and its new position.
struct JogStep : PositionExchange {
    int servo = 0;
    uint16_t position = 0;
};
// "OU"/"OD" with the step as 4 decimal digits and the servo as 2.
std::string jogRequest(bool up, int step, int servo);
JogStep jogOnce(Link& link, bool up, int step, int servo);

} // namespace pkivo
