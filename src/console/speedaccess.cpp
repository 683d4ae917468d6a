#include "console/speedaccess.h"

#include "core/numbertext.h"
#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"

namespace pkivo {

namespace {

SpeedResult exchange(Link& link, const std::string& request, bool decode) {
    SpeedResult out;
    if (!link.request(request, &Link::rawsender)) {
        out.status = result::statusLine(result::linkBusy);
        return out;
    }
    const LinkGlobals& g = link.globals();
    const reply::Outcome outcome = reply::longOutcome(g);
    out.status = outcome.text();
    // The routine's own failures leave the request or nothing in the buffer: no reply to show.
    if (g.errcode == result::ok) {
        out.reply = g.packet;
    }
    if (!outcome.good) {
        return out;
    }
    if (decode) {
        const reply::Decoded<reply::SpeedEntry> entry = reply::speedEntry(g.packet);
        if (!entry.ok()) {
            out.status = result::statusLine(result::unableToConnect);
            return out;
        }
        out.entry = entry.value;
    }
    out.ok = true;
    return out;
}

} // namespace

std::optional<uint32_t> speedLocation(std::string_view text) {
    const std::optional<uint64_t> value = digitsValue(text, lastSpeedLocation);
    if (!value || *value < firstSpeedLocation) {
        return std::nullopt;
    }
    return uint32_t(*value);
}

std::optional<std::string> speedValue(std::string_view text) {
    const std::optional<uint64_t> value = digitsValue(text, largestSpeedValue);
    if (!value) {
        return std::nullopt;
    }
    return zeroFilled(std::to_string(*value), 3);
}

std::string speedLocationText(uint32_t location) {
    return zeroFilled(std::to_string(location), 5);
}

SpeedResult readSpeedEntry(Link& link, uint32_t location) {
    return exchange(link, packet::readSpeed(location), true);
}

SpeedResult writeSpeedEntry(Link& link, uint32_t location, const std::array<std::string, 8>& speeds,
                            const std::array<std::string, 8>& controls) {
    return exchange(link, packet::writeSpeed(location, speeds, controls), false);
}

} // namespace pkivo
