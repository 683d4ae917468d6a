// The Settings text of the serial port ("57600,n,8,1"): baud rate, parity letter, data bits,
// stop bits. Parsed once here for every port backend.
#pragma once

#include <optional>
#include <string>

namespace pkivo {

struct SerialSettings {
    int baud = 57600;
    char parity = 'n'; // n, e, o, m, s
    int dataBits = 8;  // 5 to 8
    int stopBits = 1;  // 1 or 2; "1.5" is kept as 3 (tenths would be overkill)
};

// Nothing when the text is not a setting a port can take (baud 0, parity "x", 9 data bits...).
std::optional<SerialSettings> parseSerialSettings(const std::string& text);

} // namespace pkivo
