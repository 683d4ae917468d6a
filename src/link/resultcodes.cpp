#include "link/resultcodes.h"

#include <array>
#include <utility>

namespace pkivo::result {

std::string_view text(std::string_view code) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> table{{
        {ok, "No errors"},
        {invalidPacket, "System received invalid packet"},
        {noBusResponse, "No responce from device/module on buss"},
        {invalidInstruction, "Invalid Instruction sent"},
        {unableToConnect, "Unable to connect"},
        {portNotOpen, "Serial port not open"},
        {linkBusy, "Link busy"},
    }};
    if (code.empty()) {
        return {};
    }
    for (const auto& [c, t] : table) {
        if (c == code) {
            return t;
        }
    }
    return "Undefined error";
}

std::string statusLine(std::string_view code, std::string_view text) {
    return std::string(code) + " " + std::string(text);
}

std::string statusLine(std::string_view code) {
    return statusLine(code, text(code));
}

} // namespace pkivo::result
