// One byte of the controller's RAM or EEPROM read or written with one short packet through
// smallcomax: the memory editor and `pkivo-cli mem` both go through here.
//
// A byte comes back only when the exchange succeeded and its reply decoded: after a failed
// handshake the buffer still holds the request, whose filler "DD" would read as 221, and after
// a reply time-out it holds the request behind its lead-in. Neither may reach a box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pkivo {

class Link;

enum class MemoryArea { Eeprom, Ram };

struct MemoryResult {
    // The byte read, or the controller's echo of the byte written; none when the exchange
    // failed, the reply did not decode or another exchange held the link.
    std::optional<uint8_t> byte;
    // What the status line shows: errcode, a space and errtext; "Error" when the reply came
    // but did not decode; "B" and its text when nothing was sent.
    std::string status;
    bool ok() const { return byte.has_value(); }
};

// The text shown for a reply that came but does not hold a byte where it should.
inline constexpr const char* badReplyStatus = "Error";

// Read takes exactly 9 characters; a write takes the echo at 7-8 of what came.
MemoryResult readMemory(Link& link, MemoryArea area, uint16_t address);
MemoryResult writeMemory(Link& link, MemoryArea area, uint16_t address, uint8_t value);

} // namespace pkivo
