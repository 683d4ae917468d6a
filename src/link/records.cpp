#include "link/records.h"

#include "core/numbertext.h"
#include "core/textfield.h"
#include "link/packets.h"
#include "link/replies.h"
#include "link/resultcodes.h"

#include <array>
#include <cctype>

namespace pkivo::record {

namespace {

namespace ins = reply::instructionDigits;
namespace pk = reply::packedDigits;

constexpr uint32_t largestOf(Field f) {
    return (uint32_t(1) << (4 * f.width)) - 1;
}
constexpr Box box(std::string_view name, Field f) {
    return {name, f, largestOf(f)};
}

// clang-format off
constexpr std::array instructionBoxes{
    box("instruction", ins::instruction), box("Speedref", ins::Speedref),
    box("Toposition", ins::Toposition),
    box("specify_0", ins::specify(0)), box("datax_0", ins::datax(0)),
    box("specify_1", ins::specify(1)), box("datax_1", ins::datax(1)),
    box("specify_2", ins::specify(2)), box("datax_2", ins::datax(2)),
    box("data5_0", ins::data5(0)), box("data5_1", ins::data5(1)), box("data5_2", ins::data5(2)),
};
constexpr std::array packedBoxes{
    box("instruction", pk::instruction), box("Speedref", pk::Speedref),
    box("Toposition", pk::Toposition),
    box("specify_0", pk::specify(0)), box("datax_0", pk::datax(0)),
    box("specify_1", pk::specify(1)), box("datax_1", pk::datax(1)),
    box("specify_2", pk::specify(2)), box("datax_2", pk::datax(2)),
    box("specify_3", pk::specify(3)), box("datax_3", pk::datax(3)),
    box("data5_0", pk::data5(0)), box("data5_1", pk::data5(1)),
    box("S1edat", pk::servo(1)), box("S2edat", pk::servo(2)), box("S3edat", pk::servo(3)),
    box("S4edat", pk::servo(4)), box("S5edat", pk::servo(5)), box("S6edat", pk::servo(6)),
    box("S7edat", pk::servo(7)), box("S8edat", pk::servo(8)),
};
// clang-format on

bool allHex(std::string_view text) {
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::span<const Box> boxes(Kind kind) {
    if (kind == Kind::Instruction) {
        return instructionBoxes;
    }
    return packedBoxes;
}

size_t digitCount(Kind kind) {
    return kind == Kind::Instruction ? packet::record.width : packet::packedRecordDigits;
}

std::optional<uint32_t> boxValue(std::string_view text, uint32_t largest) {
    const std::optional<int32_t> value = roundedNumber(text);
    if (!value || *value < 0 || uint32_t(*value) > largest) {
        return std::nullopt;
    }
    return uint32_t(*value);
}

std::optional<uint32_t> lineValue(std::string_view text) {
    if (text.size() > size_t(lineBoxLength)) {
        return std::nullopt;
    }
    return boxValue(text, largestLine);
}

std::string lineText(uint32_t line) {
    return fixedWidth("000000", std::to_string(line), size_t(lineBoxLength));
}

std::string encode(Kind kind, const std::vector<uint32_t>& values) {
    std::string digits(digitCount(kind), 'F');
    const std::span<const Box> table = boxes(kind);
    for (size_t i = 0; i < table.size() && i < values.size(); ++i) {
        overwrite(digits, table[i].digits, hexDigits(values[i], size_t(table[i].digits.width)));
    }
    return digits;
}

std::vector<uint32_t> decode(Kind kind, std::string_view digits) {
    const std::string record(digits);
    std::vector<uint32_t> values;
    for (const Box& b : boxes(kind)) {
        values.push_back(reply::hexFieldValue(cut(record, b.digits)));
    }
    return values;
}

bool isRecordText(Kind kind, std::string_view text) {
    return text.size() == digitCount(kind) && allHex(text);
}

std::string getRequest(Kind kind, uint32_t line) {
    return kind == Kind::Instruction ? packet::readInstruction(line) : packet::readPacked(line);
}

PackedOutcome packedOutcome(const LinkGlobals& g) {
    if (g.errcode != result::ok) {
        return {false, g.errcode, g.errtext};
    }
    if (g.packdata.size() >= packet::packedRecordDigits &&
        allHex(std::string_view(g.packdata).substr(0, packet::packedRecordDigits))) {
        return {true, g.errcode, g.errtext};
    }
    const std::string code = packet::isValidLongReply(g.packdata)
                                 ? cut(g.packdata, packet::resultCode)
                                 : std::string(result::unableToConnect);
    const std::string shown = code == result::ok ? std::string(result::unableToConnect) : code;
    return {false, shown, std::string(result::text(shown))};
}

} // namespace pkivo::record
