// The two records the editors read and write by line: the 32-digit instruction record (R15/R16
// through rawsender) and the 64-digit packed record (R1C through packreceiver, R1D through
// packwriter). One field table per record drives the editor's boxes, the encoding and the
// decoding, so the two editors differ only in their table and their exchanges.
#pragma once

#include "link/linkglobals.h"
#include "link/packetlayout.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pkivo::record {

enum class Kind { Instruction, Packed };

// One field: the box that shows it (its objectName), where it stands in the record and the
// largest value its digits hold. Every box starts at its largest value, so a fresh editor
// writes all "F", the record's filler.
struct Box {
    std::string_view name;
    Field digits;
    uint32_t largest;
};

std::span<const Box> boxes(Kind kind);
size_t digitCount(Kind kind); // 32 or 64

// The highest line the editors' scroll bar reaches, and the most characters its box takes.
inline constexpr uint32_t largestLine = 32000;
inline constexpr int lineBoxLength = 6;

// A typed field: a number rounded to whole (halves to even) from 0 to `largest`; nothing for
// anything else, so that neither text nor a value too wide for its digits is ever sent.
std::optional<uint32_t> boxValue(std::string_view text, uint32_t largest);
// A typed line number: at most six characters, 0 to largestLine.
std::optional<uint32_t> lineValue(std::string_view text);
// What the line box shows for a scroll bar position: six decimal digits with leading zeros.
std::string lineText(uint32_t line);

// The record's digits with each field's value in its place, upper-case hex, high digits first.
// Every value must be within its field.
std::string encode(Kind kind, const std::vector<uint32_t>& values);
// Each field read back by the lenient hex rule, in table order.
std::vector<uint32_t> decode(Kind kind, std::string_view digits);
// Exactly the record's number of hex digits, either case: what a command line may send.
bool isRecordText(Kind kind, std::string_view text);

// The request a Get sends for `line`.
std::string getRequest(Kind kind, uint32_t line);

// How a packreceiver exchange went, judged by what came: good when the routine succeeded and
// the first 64 characters of `packdata` are hex digits. A long reply in their place is the
// controller refusing the line: its code and text. Anything else is no record at all.
struct PackedOutcome {
    bool good = false;
    std::string errcode;
    std::string errtext;
};
PackedOutcome packedOutcome(const LinkGlobals& g);

} // namespace pkivo::record
