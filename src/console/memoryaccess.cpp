#include "console/memoryaccess.h"

#include "link/link.h"
#include "link/packets.h"
#include "link/replies.h"
#include "link/resultcodes.h"

namespace pkivo {

namespace {

MemoryResult exchange(Link& link, const std::string& request, reply::LengthRule rule) {
    const bool held = link.request(request, &Link::smallcomax);
    if (!held) {
        return {std::nullopt, result::statusLine(result::linkBusy)};
    }
    const LinkGlobals& g = link.globals();
    const std::string status = result::statusLine(g.errcode, g.errtext);
    if (g.errcode != result::ok) {
        return {std::nullopt, status};
    }
    const reply::Decoded<uint8_t> byte = reply::memoryByte(g.packet, rule);
    if (!byte.ok()) {
        return {std::nullopt, badReplyStatus};
    }
    return {byte.value, status};
}

} // namespace

MemoryResult readMemory(Link& link, MemoryArea area, uint16_t address) {
    const std::string request =
        area == MemoryArea::Eeprom ? packet::readEeprom(address) : packet::readRam(address);
    return exchange(link, request, reply::LengthRule::Exact);
}

MemoryResult writeMemory(Link& link, MemoryArea area, uint16_t address, uint8_t value) {
    const std::string request = area == MemoryArea::Eeprom ? packet::writeEeprom(address, value)
                                                           : packet::writeRam(address, value);
    return exchange(link, request, reply::LengthRule::Loose);
}

} // namespace pkivo
