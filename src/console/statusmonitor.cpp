#include "console/statusmonitor.h"

#include "core/textfield.h"
#include "link/link.h"
#include "link/packetlayout.h"

#include <array>

namespace pkivo {

namespace {

namespace status = packet::status;

constexpr int runningBit = 16;
constexpr int pausedBit = 32;

struct Notification {
    int code;
    const char* text;
};

constexpr std::array<Notification, 8> notificationTexts{{
    {0x20, "  X Home Switch hit"},
    {0x21, "  Y Home Switch hit"},
    {0x22, "  Z Home Switch hit"},
    {0x28, "  X Limit Switch hit"},
    {0x29, "  Y Limit Switch hit"},
    {0x2A, "  Z Limit Switch hit"},
    {0x32, "  Invalid Instruction / Code"},
    {0x63, "  Stack Over/Under Flow"},
}};

} // namespace

bool decodeStatus(const std::string& text, StatusDisplay& display) {
    if (text.size() < status::length || cut(text, status::mark) != "AB") {
        return false;
    }
    uint64_t position, stack, loop, mode, code, line;
    if (!parseHex(cut(text, status::position), position) ||
        !parseHex(cut(text, status::stack), stack) || !parseHex(cut(text, status::loop), loop) ||
        !parseHex(cut(text, status::mode), mode) ||
        !parseHex(cut(text, status::notification), code) ||
        !parseHex(cut(text, status::line), line)) {
        return false;
    }
    display.position = std::to_string(position);
    display.stack = std::to_string(stack);
    display.loop = std::to_string(loop);
    display.currentline = std::to_string(static_cast<int64_t>(line) - 1);
    const bool running = (mode & runningBit) != 0;
    const bool paused = (mode & pausedBit) != 0;
    display.runstop = !running ? "Stopped" : paused ? "Paused" : "Running";
    if (code == 0) {
        display.notifications = "0 - No errors";
    }
    for (const Notification& n : notificationTexts) {
        if (uint64_t(n.code) == code) {
            display.notifications = std::to_string(code) + n.text;
        }
    }
    return true;
}

void statusmonitor(Link& link, StatusDisplay& display,
                   const std::function<void(const StatusDisplay&)>& shown) {
    LinkGlobals& g = link.globals();
    for (;;) {
        link.waitstatus();
        if (g.tempstr1.size() < status::length || !g.monitoring) {
            return;
        }
        if (decodeStatus(g.tempstr1, display) && shown) {
            shown(display);
        }
        if (!g.monitoring) {
            return;
        }
    }
}

} // namespace pkivo
