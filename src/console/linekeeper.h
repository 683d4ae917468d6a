// Keeps the line up after an adapter is pulled: when the link reports the line lost, the port
// is already closed; the keeper then tries the same port number every 500 ms (quietly: no
// message box, and the port closed again after a failed try) until a controller answers the
// connect check, shows its version again and lets a monitor that was listening carry on. A port
// named by a link of its own (a pseudo-terminal, a by-id name) is tried only once its link is
// back, never the built-in device its number falls back to meanwhile. An exchange under way when
// the line went has ended with "7" and is never sent again: a write must not be repeated blind.
// Switched off, a lost line leaves the port closed and free for another program.
#pragma once

#include "link/link.h"

#include <functional>
#include <string>
#include <string_view>

namespace pkivo {

class Ticker;
class Waiter;

// What BoardData1 shows while the keeper looks for the device.
inline constexpr std::string_view reconnectingText = "Reconnecting\xE2\x80\xA6";

enum class LineState {
    Up,           // as far as the keeper knows, the port is open
    Reconnecting, // the line was lost: the port is tried every pollInterval
    Closed,       // the line was lost with reconnecting switched off: the port stays closed
};

class LineKeeper {
public:
    static constexpr Millis pollInterval{500};

    // `settings` gives the port fields to reopen with (baud rate and the rest; the port number
    // is always the one that was lost).
    LineKeeper(Link& link, Waiter& waiter, Ticker& ticker, std::function<PortSettings()> settings);
    ~LineKeeper();
    LineKeeper(const LineKeeper&) = delete;
    LineKeeper& operator=(const LineKeeper&) = delete;

    // On by default. Off stops a search under way and leaves the port closed; on again starts
    // looking for a port that was lost.
    void setEnabled(bool on);
    bool enabled() const { return m_enabled; }
    LineState state() const { return m_state; }

    // Told each new text for the board field: reconnectingText, the version and port once the
    // controller answers again, unknownBoard when the line is lost and not looked for.
    void setBoardShown(std::function<void(const std::string&)> shown) {
        m_shown = std::move(shown);
    }

    // For a monitor that has just ended: when it ended because the line was lost and the keeper
    // is looking for it, waits until the line is back (true: listen again) or the search stops
    // or monitoring is switched off (false).
    bool awaitLine();

private:
    void lost();
    void poll();
    void show(std::string_view text);

    Link& m_link;
    Waiter& m_waiter;
    Ticker& m_ticker;
    std::function<PortSettings()> m_settings;
    std::function<void(const std::string&)> m_shown;
    bool m_enabled = true;
    LineState m_state = LineState::Up;
    int m_lostPort = 0;
    bool m_lostLinked = false; // the lost port was named by a link of its own
};

// The reconnect switch as the user left it, in ~/.config/pkivo/reconnect ("on" or "off"); on
// when the file is missing.
bool loadReconnectChoice();
bool saveReconnectChoice(bool on);

} // namespace pkivo
