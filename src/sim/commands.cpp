#include "sim/commands.h"

#include "core/textfield.h"
#include "link/packetlayout.h"

#include <algorithm>
#include <cctype>

namespace pkivo::sim {

namespace p = pkivo::packet;

namespace {

constexpr int servoCount = ServoBank::count;

std::optional<uint64_t> hexField(const std::string& packet, Field field) {
    const std::string text = cut(packet, field);
    uint64_t value = 0;
    if (text.size() != size_t(field.width) || !parseHex(text, value)) {
        return std::nullopt;
    }
    return value;
}

// A field of decimal digits only, nothing else.
std::optional<uint64_t> decimalField(const std::string& packet, Field field) {
    const std::string text = cut(packet, field);
    if (text.size() != size_t(field.width) || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        })) {
        return std::nullopt;
    }
    return std::stoull(text);
}

std::optional<int> lineField(const std::string& packet, Field field) {
    const auto value = hexField(packet, field);
    if (!value || !FlashMemory::validLine(int64_t(*value))) {
        return std::nullopt;
    }
    return int(*value);
}

uint16_t recordWord(const FlashMemory::Record& r, int index) {
    return uint16_t(r[size_t(2 * index)] << 8 | r[size_t(2 * index + 1)]);
}

// A long reply has the layout of the request: the request itself when it is a plain 64
// characters, otherwise the generic template carrying its command code.
std::string replyBase(const std::string& packet) {
    std::string reply(p::genericTemplate);
    if (packet.size() == p::longLength) {
        reply = packet;
    } else {
        overwrite(reply, p::code, cut(packet, p::code));
    }
    overwrite(reply, p::start, "OV0");
    overwrite(reply, p::end, "H~");
    return reply;
}

std::string withResult(std::string reply, char result) {
    overwrite(reply, p::resultCode, std::string(1, result));
    return reply;
}

std::string readStoredPosition(Machine& m, const std::string& packet, int line) {
    std::string reply = replyBase(packet);
    const auto stored = m.flash().record(line);
    for (int k = 1; k <= servoCount; ++k) {
        overwrite(reply, p::storedPosition(k), decimalDigits(recordWord(stored, k - 1), 5));
    }
    return withResult(reply, resultOk);
}

std::string writeStoredPosition(Machine& m, const std::string& packet, int line) {
    FlashMemory::Record record;
    for (int k = 1; k <= servoCount; ++k) {
        const auto value = decimalField(packet, p::storedPosition(k));
        if (!value || *value > 0xFFFF) {
            return withResult(replyBase(packet), resultInvalidPacket);
        }
        record[size_t(2 * k - 2)] = uint8_t(*value >> 8);
        record[size_t(2 * k - 1)] = uint8_t(*value & 0xFF);
    }
    m.writeRecord(line, record);
    return withResult(replyBase(packet), resultOk);
}

// A speed entry is one line: eight speed bytes, then eight control bytes.
std::string readSpeedEntry(Machine& m, const std::string& packet, int line) {
    std::string reply = replyBase(packet);
    const auto entry = m.flash().record(line);
    for (int k = 1; k <= servoCount; ++k) {
        overwrite(reply, p::speed(k), decimalDigits(entry[size_t(k - 1)], 3));
        overwrite(reply, p::speedControl(k), decimalDigits(entry[size_t(k - 1 + servoCount)], 3));
    }
    return withResult(reply, resultOk);
}

std::string writeSpeedEntry(Machine& m, const std::string& packet, int line) {
    FlashMemory::Record entry;
    for (int k = 1; k <= servoCount; ++k) {
        const auto speedValue = decimalField(packet, p::speed(k));
        const auto control = decimalField(packet, p::speedControl(k));
        if (!speedValue || !control || *speedValue > 0xFF || *control > 0xFF) {
            return withResult(replyBase(packet), resultInvalidPacket);
        }
        entry[size_t(k - 1)] = uint8_t(*speedValue);
        entry[size_t(k - 1 + servoCount)] = uint8_t(*control);
    }
    m.writeRecord(line, entry);
    return withResult(replyBase(packet), resultOk);
}

std::string readPacked(Machine& m, const std::string& packet) {
    const auto line = lineField(packet, p::line);
    if (!line || !FlashMemory::validLine(*line + 1)) {
        return withResult(replyBase(packet), resultInvalidPacket);
    }
    return m.flash().recordHex(*line) + m.flash().recordHex(*line + 1);
}

// R1C is two commands: the board's "reload from EEPROM" comes with parameter field 1 filled
// in ("000"), the packed record read with the template's filler there.
bool isReload(const std::string& packet) {
    return decimalField(packet, p::parm1).has_value();
}

std::string writeParams(Machine& m, const std::string& packet) {
    BoardParams::Bytes bytes;
    if (!hexToBytes(cut(packet, p::parameterBlock), bytes.data(), bytes.size())) {
        return withResult(replyBase(packet), resultInvalidPacket);
    }
    m.storeParams(bytes);
    return withResult(replyBase(packet), resultOk);
}

std::string readParams(Machine& m, const std::string& packet) {
    std::string reply = replyBase(packet);
    const auto& bytes = m.params().bytes();
    overwrite(reply, p::parameterBlock, bytesToHex(bytes.data(), bytes.size()));
    return withResult(reply, resultOk);
}

} // namespace

std::optional<std::string> handleLongPacket(Machine& m, const std::string& packet, Micros now) {
    if (cut(packet, p::start) != "OV0") {
        return withResult(replyBase(packet), resultInvalidPacket);
    }
    const std::string code = cut(packet, p::code);
    const auto line = lineField(packet, p::line);
    auto needLine = [&](auto&& handler) -> std::string {
        return line ? handler(*line) : withResult(replyBase(packet), resultInvalidPacket);
    };

    if (code == "R00") {
        m.stop(now);
        return std::nullopt;
    }
    if (code == "R05") {
        if (line) {
            m.run(*line, now);
        }
        return std::nullopt;
    }
    if (code == "R07") {
        m.pause(now);
        return std::nullopt;
    }
    m.advanceTo(now);
    if (code == "R01") {
        std::string reply = replyBase(packet);
        for (int k = 1; k <= servoCount; ++k) {
            overwrite(reply, p::currentPosition(k), hexDigits(m.servos().position(k), 4));
        }
        return withResult(reply, resultOk);
    }
    if (code == "R02") {
        std::string reply = replyBase(packet);
        overwrite(reply, p::versionText, versionText);
        return withResult(reply, resultOk);
    }
    if (code == "R14") {
        const auto page = decimalField(packet, p::pageNumber);
        if (!page || !FlashMemory::validPage(int64_t(*page))) {
            return withResult(replyBase(packet), resultInvalidPacket);
        }
        return m.flash().pageHex(int(*page));
    }
    if (code == "R15") {
        return needLine([&](int l) {
            std::string reply = replyBase(packet);
            overwrite(reply, p::record, m.flash().recordHex(l));
            return withResult(reply, resultOk);
        });
    }
    if (code == "R16") {
        return needLine([&](int l) {
            FlashMemory::Record record;
            if (!hexToBytes(cut(packet, p::record), record.data(), record.size())) {
                return withResult(replyBase(packet), resultInvalidPacket);
            }
            m.writeRecord(l, record);
            return withResult(replyBase(packet), resultOk);
        });
    }
    if (code == "R17") {
        m.eraseFlash();
        return withResult(replyBase(packet), resultOk);
    }
    if (code == "R18") {
        return needLine([&](int l) { return readStoredPosition(m, packet, l); });
    }
    if (code == "R19") {
        return needLine([&](int l) { return writeStoredPosition(m, packet, l); });
    }
    if (code == "R1A") {
        return needLine([&](int l) { return readSpeedEntry(m, packet, l); });
    }
    if (code == "R1B") {
        return needLine([&](int l) { return writeSpeedEntry(m, packet, l); });
    }
    if (code == "R1C") {
        if (isReload(packet)) {
            m.reloadParams();
            return withResult(replyBase(packet), resultOk);
        }
        return readPacked(m, packet);
    }
    if (code == "R1R") {
        return readParams(m, packet);
    }
    if (code == "R1W") {
        return writeParams(m, packet);
    }
    return withResult(replyBase(packet), resultInvalidInstruction);
}

std::string handleShortPacket(Machine& m, const std::string& packet, Micros now) {
    const std::string invalid(shortInvalidReply);
    if (packet.size() != p::shortLength || cut(packet, p::shortMark) != "O" ||
        cut(packet, p::shortEnd) != "H") {
        return invalid;
    }
    m.advanceTo(now);
    std::string reply = packet;
    const char command = packet[size_t(p::shortCommand.position - 1)];
    switch (command) {
    case 'E':
    case 'R':
    case 'F':
    case 'S': {
        const auto address = hexField(packet, p::shortAddress);
        if (!address) {
            return invalid;
        }
        const auto at = uint16_t(*address);
        if (command == 'F' || command == 'S') {
            const auto value = hexField(packet, p::shortByte);
            if (!value) {
                return invalid;
            }
            if (command == 'F') {
                m.setEepromByte(at, uint8_t(*value));
            } else {
                m.setRamByte(at, uint8_t(*value), now);
            }
        }
        const uint8_t value = (command == 'E' || command == 'F') ? m.eepromByte(at) : m.ramByte(at);
        overwrite(reply, p::shortByte, hexDigits(value, 2));
        return reply;
    }
    case 'T': {
        const auto line = lineField(packet, p::shortLine);
        if (!line || !m.moveToStored(*line, now)) {
            return invalid;
        }
        return reply;
    }
    case 'U':
    case 'D': {
        const auto step = decimalField(packet, p::jogStep);
        const auto servo = decimalField(packet, p::jogServo);
        if (!step || !servo || *servo < 1 || *servo > uint64_t(servoCount)) {
            return invalid;
        }
        const int delta = command == 'U' ? int(*step) : -int(*step);
        overwrite(reply, p::jogStep, hexDigits(m.servos().jog(int(*servo), delta), 4));
        return reply;
    }
    case 'O': {
        const auto number = hexField(packet, p::outputNumber);
        const std::string state = cut(packet, p::outputState);
        if (!number || (state != "1" && state != "0")) {
            return invalid;
        }
        m.io().outputs[size_t(*number)] = state == "1" ? 1 : 0;
        return reply;
    }
    default:
        return invalid;
    }
}

std::string handlePageLine(Machine& m, const std::string& line) {
    std::string reply(p::genericTemplate);
    const auto page = decimalField(line, p::pageLineNumber);
    const bool written = line.size() == p::pageLineLength && page &&
                         FlashMemory::validPage(int64_t(*page)) &&
                         m.writePageHex(int(*page), cut(line, p::pageLineDigits));
    overwrite(reply, p::code, written ? "OK0" : "ERR"); // "OV0OK" at 1-5 when written
    overwrite(reply, p::pageNumber, cut(line, p::pageLineNumber));
    return withResult(reply, written ? resultOk : resultInvalidPacket);
}

bool handlePackedWrite(Machine& m, const std::string& data) {
    const auto line = lineField(data, p::line);
    const std::string digits = cut(data, p::packedRecord);
    FlashMemory::Record first;
    FlashMemory::Record second;
    if (cut(data, p::start) != "OV0" || cut(data, p::code) != "R1D" || !line ||
        !FlashMemory::validLine(*line + 1) || data.size() != 12 + p::packedRecordDigits ||
        !hexToBytes(digits.substr(0, 32), first.data(), first.size()) ||
        !hexToBytes(digits.substr(32), second.data(), second.size())) {
        return false;
    }
    m.writeRecord(*line, first);
    m.writeRecord(*line + 1, second);
    return true;
}

} // namespace pkivo::sim
