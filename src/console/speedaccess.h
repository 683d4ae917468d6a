// One entry of the controller's speed table read or written through rawsender: the Speed
// Editor and `pkivo-cli speed` both go through here, with the same checks.
//
// An entry comes back only when the exchange went well by the reply itself (longOutcome): after
// a time-out or a failed handshake the buffer is empty or still holds the request, and a Put
// that followed boxes filled from it would write zeros or another entry's values back.
#pragma once

#include "link/replies.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

class Link;

// The locations the editor offers; the controller keeps its speed table there.
inline constexpr uint32_t firstSpeedLocation = 32000;
inline constexpr uint32_t lastSpeedLocation = 32255;
// Each speed and control value travels as three decimal characters.
inline constexpr uint32_t largestSpeedValue = 999;

// A typed location: digits only, within firstSpeedLocation..lastSpeedLocation.
std::optional<uint32_t> speedLocation(std::string_view text);
// A typed speed or control value as it travels: digits only, 0 to 999, three characters. A
// value of four digits is refused rather than cut to its last three (1500 is not 500).
std::optional<std::string> speedValue(std::string_view text);
// What the location box shows for a scroll value: five digits, "0" in front.
std::string speedLocationText(uint32_t location);

struct SpeedResult {
    // Get: the entry, only when the exchange was good and the reply decoded.
    std::optional<reply::SpeedEntry> entry;
    bool ok = false;
    // What the status line shows: errcode, a space and errtext, judged by the reply; "B" and
    // its text when another exchange held the link and nothing was sent.
    std::string status;
    // What the packet box shows: the reply when one came, empty otherwise.
    std::string reply;
};

SpeedResult readSpeedEntry(Link& link, uint32_t location);
// `speeds` and `controls` as speedValue leaves them.
SpeedResult writeSpeedEntry(Link& link, uint32_t location, const std::array<std::string, 8>& speeds,
                            const std::array<std::string, 8>& controls);

} // namespace pkivo
