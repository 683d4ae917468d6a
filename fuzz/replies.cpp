// Whatever comes back from the line through every reply decoder: each reads only what is
// there and says so when something is missing.
#include "fuzz/targets.h"

#include "console/statusmonitor.h"
#include "link/packets.h"
#include "link/records.h"
#include "link/replies.h"

#include <string>
#include <string_view>

namespace pkivo::fuzz {

namespace {

// The input's lines after the first, for the globals a routine leaves beside the reply.
std::string nextLine(std::string_view& rest) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    std::string line(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    return line;
}

void decodeAll(const std::string& text) {
    using namespace reply;
    memoryByte(text, LengthRule::Exact);
    memoryByte(text, LengthRule::Loose);
    storedPositions(text);
    currentPositions(text);
    speedEntry(text);
    jogReply(text);
    record::decode(record::Kind::Instruction, text);
    record::decode(record::Kind::Packed, text);
    boardParameters(text);
    softwareVersion(text);
    flashPage(text);
    leadingHexValue(text);
    hexFieldValue(text);

    packet::isValidLongReply(text);
    packet::isValidShortReply(text);
    packet::carriesVersion(text);
    packet::isPageWritten(text);
    packet::longReplyStatus(text);
    packet::shortReplyStatus(text);

    const size_t firstOther = packet::status::firstNonRecordCharacter(text);
    require(firstOther <= text.size(), "the first non-record character lies in the text");
    const std::string_view marked = packet::status::fromMark(text);
    require(marked.empty() || std::string_view(text).ends_with(marked),
            "a status record's mark is found within the text");
    require(marked.empty() || marked.starts_with("AB") || marked == "A",
            "a status record starts at its mark");

    StatusDisplay display;
    const StatusDisplay before = display;
    if (!decodeStatus(text, display)) {
        require(display == before, "an undecoded status record leaves the display");
    }
}

} // namespace

void fuzzReplies(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    decodeAll(text);

    std::string_view rest = text;
    LinkGlobals g;
    g.packet = nextLine(rest);
    g.errcode = nextLine(rest);
    g.errtext = nextLine(rest);
    g.packdata = std::string(rest);
    const reply::Outcome outcome = reply::longOutcome(g);
    require(!outcome.good || packet::isValidLongReply(g.packet),
            "a good outcome has a framed reply");
    const record::PackedOutcome packed = record::packedOutcome(g);
    require(!packed.good || g.packdata.size() >= packet::packedRecordDigits,
            "a good packed read has a whole record");
    reply::flashPage(g.packdata);
}

} // namespace pkivo::fuzz
