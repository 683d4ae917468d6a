#include "console/recordaccess.h"

#include "core/textfield.h"
#include "link/link.h"
#include "link/packets.h"
#include "link/replies.h"
#include "link/resultcodes.h"

namespace pkivo {

namespace {

using record::Kind;

RecordResult busy() {
    return {std::nullopt, result::statusLine(result::linkBusy), std::nullopt};
}

} // namespace

RecordResult getRecord(Link& link, Kind kind, uint32_t line) {
    const std::string request = record::getRequest(kind, line);
    const bool instruction = kind == Kind::Instruction;
    const bool held = link.request(request, instruction ? &Link::rawsender : &Link::packreceiver);
    if (!held) {
        return busy();
    }
    const LinkGlobals& g = link.globals();
    if (instruction) {
        const reply::Outcome outcome = reply::longOutcome(g);
        if (!outcome.good) {
            return {std::nullopt, outcome.text(), std::nullopt};
        }
        const std::string digits = cut(g.packet, packet::record);
        return {digits, outcome.text(), digits};
    }
    const record::PackedOutcome outcome = record::packedOutcome(g);
    if (!outcome.good) {
        return {std::nullopt, result::statusLine(outcome.errcode, outcome.errtext), std::nullopt};
    }
    const std::string digits = g.packdata.substr(0, packet::packedRecordDigits);
    return {digits, result::statusLine(outcome.errcode, outcome.errtext), digits};
}

RecordResult putRecord(Link& link, Kind kind, uint32_t line, const std::string& digits) {
    if (kind == Kind::Instruction) {
        const std::string request = packet::writeInstruction(line, digits);
        if (!link.request(request, &Link::rawsender)) {
            return busy();
        }
        const reply::Outcome outcome = reply::longOutcome(link.globals());
        if (!outcome.good) {
            return {std::nullopt, outcome.text(), std::nullopt};
        }
        return {digits, outcome.text(), link.globals().packet};
    }
    // packwriter sets the code alone; the text is this code's, never one left by another
    // exchange.
    const std::string data = packet::packedWriteData(line, digits);
    if (!link.request([&data](LinkGlobals& g) { g.packdata = data; }, &Link::packwriter)) {
        return busy();
    }
    const LinkGlobals& g = link.globals();
    const bool written = g.errcode == result::ok;
    return {written ? std::optional<std::string>(digits) : std::nullopt,
            result::statusLine(g.errcode), g.packdata};
}

} // namespace pkivo
