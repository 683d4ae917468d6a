// The reply decoders: cut the positions of packetlayout.h and replies.h out of a reply and read
// them by the rule its window uses.
#include "link/replies.h"

#include "link/packets.h"
#include "link/resultcodes.h"

namespace pkivo::reply {

namespace {

template <class T> Decoded<T> failure(DecodeError error) {
    return {std::nullopt, error};
}

// -1 for a character that is not a hex digit.
int hexDigitValue(char c) {
    return (c >= '0' && c <= '9')   ? c - '0'
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                    : -1;
}

// The last character a decoder reads must be there.
bool reaches(const std::string& reply, Field field) {
    return reply.size() >= size_t(field.position + field.width - 1);
}

uint32_t lenient(const std::string& record, Field field) {
    return hexFieldValue(cut(record, field));
}

// A field where nothing but hex digits may stand; the caller has checked that it is there.
std::optional<uint16_t> strictHex(const std::string& reply, Field field) {
    uint64_t value = 0;
    if (!parseHex(cut(reply, field), value)) {
        return std::nullopt;
    }
    return uint16_t(value);
}

bool bit(uint32_t byte, int n) {
    return ((byte >> n) & 1U) != 0;
}

} // namespace

uint32_t leadingHexValue(std::string_view digits) {
    uint32_t value = 0;
    for (size_t i = 0; i < digits.size() && hexDigitValue(digits[i]) >= 0; ++i) {
        value = value * 16 + uint32_t(hexDigitValue(digits[i]));
    }
    return value;
}

uint32_t hexFieldValue(std::string_view digits) {
    size_t low = digits.size() > 2 ? digits.size() - 2 : 0;
    return leadingHexValue(digits.substr(0, low)) * 256 + leadingHexValue(digits.substr(low));
}

Decoded<uint8_t> memoryByte(const std::string& reply, LengthRule rule) {
    if (rule == LengthRule::Exact && reply.size() != packet::shortLength) {
        return failure<uint8_t>(DecodeError::WrongLength);
    }
    if (!reaches(reply, packet::shortByte)) {
        return failure<uint8_t>(DecodeError::TooShort);
    }
    std::optional<uint16_t> byte = strictHex(reply, packet::shortByte);
    if (!byte) {
        return failure<uint8_t>(DecodeError::NotHex);
    }
    return {uint8_t(*byte), DecodeError::None};
}

Decoded<JogReply> jogReply(const std::string& reply) {
    if (reply.size() != packet::shortLength) {
        return failure<JogReply>(DecodeError::WrongLength);
    }
    const std::optional<uint16_t> position = strictHex(reply, packet::jogStep);
    if (!position) {
        return failure<JogReply>(DecodeError::NotHex);
    }
    const std::string servo = cut(reply, packet::jogServo);
    const bool named = servo[0] == '0' && servo[1] >= '1' && servo[1] <= '8';
    return {JogReply{named ? servo[1] - '0' : 0, *position}, DecodeError::None};
}

Decoded<std::array<std::string, 8>> storedPositions(const std::string& reply) {
    if (!reaches(reply, packet::storedPosition(8))) {
        return failure<std::array<std::string, 8>>(DecodeError::TooShort);
    }
    std::array<std::string, 8> positions;
    for (int k = 1; k <= 8; ++k) {
        positions[size_t(k - 1)] = cut(reply, packet::storedPosition(k));
    }
    return {positions, DecodeError::None};
}

Decoded<std::array<uint16_t, 8>> currentPositions(const std::string& reply) {
    if (!reaches(reply, packet::currentPosition(8))) {
        return failure<std::array<uint16_t, 8>>(DecodeError::TooShort);
    }
    std::array<uint16_t, 8> positions{};
    for (int k = 1; k <= 8; ++k) {
        std::optional<uint16_t> position = strictHex(reply, packet::currentPosition(k));
        if (!position) {
            return failure<std::array<uint16_t, 8>>(DecodeError::NotHex);
        }
        positions[size_t(k - 1)] = *position;
    }
    return {positions, DecodeError::None};
}

Decoded<SpeedEntry> speedEntry(const std::string& reply) {
    if (!reaches(reply, packet::speedControl(8))) {
        return failure<SpeedEntry>(DecodeError::TooShort);
    }
    SpeedEntry entry;
    for (int k = 1; k <= 8; ++k) {
        entry.speeds[size_t(k - 1)] = cut(reply, packet::speed(k));
        entry.controls[size_t(k - 1)] = cut(reply, packet::speedControl(k));
    }
    return {entry, DecodeError::None};
}

Decoded<BoardParameters> boardParameters(const std::string& reply) {
    if (!reaches(reply, packet::parameterBlock)) {
        return failure<BoardParameters>(DecodeError::TooShort);
    }
    namespace at = parameterDigits;
    BoardParameters p;
    p.boardparams = cut(reply, packet::parameterBlock);
    uint32_t flags = lenient(p.boardparams, at::flags);
    p.uselimits = bit(flags, 3);
    p.reporton = bit(flags, 2);
    p.storage = (flags & 3U) == 0   ? StorageMode::Seperate
                : (flags & 3U) == 1 ? StorageMode::Common
                                    : StorageMode::Other;
    uint32_t run = lenient(p.boardparams, at::runControls);
    p.Runonhw = bit(run, 2);
    p.Runonpb = bit(run, 1);
    p.Runonpu = bit(run, 0);
    p.iocon1 = bit(lenient(p.boardparams, at::ioOptions), 0);
    p.reportrate = uint8_t(lenient(p.boardparams, at::reportRate));
    p.minpulse = uint16_t(lenient(p.boardparams, at::minPulse));
    p.maxpulse = uint16_t(lenient(p.boardparams, at::maxPulse));
    uint32_t servos = lenient(p.boardparams, at::activeServos);
    for (int k = 0; k < 8; ++k) {
        p.Servos1[size_t(k)] = bit(servos, k);
    }
    return {p, DecodeError::None};
}

Outcome longOutcome(const LinkGlobals& g) {
    if (g.errcode != result::ok) {
        return {false, g.errcode, g.errtext};
    }
    if (!packet::isValidLongReply(g.packet)) {
        return {false, std::string(result::unableToConnect),
                std::string(result::text(result::unableToConnect))};
    }
    const std::string code = cut(g.packet, packet::resultCode);
    if (code != result::ok) {
        return {false, code, std::string(result::text(code))};
    }
    return {true, g.errcode, g.errtext};
}

Decoded<std::string> flashPage(const std::string& packdata) {
    if (packdata.size() < packet::flashPageLength) {
        return failure<std::string>(DecodeError::TooShort);
    }
    for (size_t i = 0; i < packet::flashPageLength; ++i) {
        if (hexDigitValue(packdata[i]) < 0) {
            return failure<std::string>(DecodeError::NotHex);
        }
    }
    return {packdata, DecodeError::None};
}

std::optional<std::string> softwareVersion(const std::string& reply) {
    if (cut(reply, packet::versionMark) != "Version") {
        return std::nullopt;
    }
    return cut(reply, packet::versionText);
}

} // namespace pkivo::reply
