// The status monitor: listens for the 24-character status records a running program sends and
// turns them into the texts of the main window's status group.
#pragma once

#include <functional>
#include <string>

namespace pkivo {

class Link;

// What the status group shows.
struct StatusDisplay {
    std::string position = "00000";  // Label4
    std::string stack = "00000";     // Label5
    std::string loop = "00000";      // Label6
    std::string currentline;         // the line being run
    std::string runstop = "Stopped"; // "Running", "Paused" or "Stopped"
    std::string notifications = "None";
    bool operator==(const StatusDisplay&) const = default;
};

// Decodes the first 24 characters of `text` into `display`. False, leaving `display` as it
// was, for fewer than 24 characters, a record without "AB", or one with non-hex digits.
// Values 8000 to FFFF are shown as 32768 to 65535; an unknown notification keeps the old text.
bool decodeStatus(const std::string& text, StatusDisplay& display);

// Listens until 6 s pass without a record or `monitoring` goes false, calling `shown` after
// every record decoded. Sends nothing.
void statusmonitor(Link& link, StatusDisplay& display,
                   const std::function<void(const StatusDisplay&)>& shown);

} // namespace pkivo
