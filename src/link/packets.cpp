#include "link/packets.h"

#include <algorithm>

namespace pkivo::packet {

namespace {

std::string withLine(std::string_view commandCode, uint32_t lineNumber) {
    std::string request = longRequest(commandCode);
    overwrite(request, packet::line, lineDigits(lineNumber));
    return request;
}

std::string shortRequest(std::string_view templ, char command, Field field,
                         const std::string& value) {
    std::string request(templ);
    request[size_t(shortCommand.position - 1)] = command;
    overwrite(request, field, value);
    return request;
}

std::string memoryWrite(char command, uint32_t address, uint32_t value) {
    std::string request =
        shortRequest(memoryTemplate, command, shortAddress, hexDigits(address, 4));
    overwrite(request, shortByte, hexDigits(value, 2));
    return request;
}

std::string jog(std::string_view templ, std::string_view step, int servo) {
    std::string request(templ);
    overwrite(request, jogStep, step);
    overwrite(request, jogServo, decimalDigits(uint64_t(servo), 2));
    return request;
}

} // namespace

bool isValidLongReply(const std::string& reply) {
    return cut(reply, replyMark) == "OV" && cut(reply, end) == "H~";
}

bool isValidShortReply(const std::string& reply) {
    return cut(reply, shortMark) == "O" && cut(reply, shortEnd) == "H";
}

bool carriesVersion(const std::string& reply) {
    return cut(reply, versionMark) == "Version";
}

bool isPageWritten(const std::string& reply) {
    return cut(reply, okMark) == "OV0OK";
}

std::string_view longReplyStatus(const std::string& reply) {
    return isValidLongReply(reply) ? validPacket : invalidPacket;
}

std::string_view shortReplyStatus(const std::string& reply) {
    return isValidShortReply(reply) ? validPacket : invalidPacket;
}

namespace status {

bool isRecordCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

size_t firstNonRecordCharacter(std::string_view text, size_t from) {
    while (from < text.size() && isRecordCharacter(text[from])) {
        ++from;
    }
    return std::min(from, text.size());
}

std::string_view fromMark(std::string_view text) {
    const size_t at = text.find("AB");
    if (at != std::string_view::npos) {
        return text.substr(at);
    }
    return text.ends_with('A') ? text.substr(text.size() - 1) : std::string_view();
}

} // namespace status

std::string longRequest(std::string_view commandCode) {
    std::string request(genericTemplate);
    overwrite(request, packet::code, commandCode);
    return request;
}

std::string lineDigits(uint32_t lineNumber) {
    return hexDigits(lineNumber, size_t(packet::line.width));
}

std::string stopProgram() {
    return longRequest("R00");
}
std::string readCurrentPositions(uint32_t lineNumber) {
    return withLine("R01", lineNumber);
}
std::string runProgram(uint32_t lineNumber) {
    return withLine("R05", lineNumber);
}
std::string pauseProgram() {
    return longRequest("R07");
}

std::string readFlashPage(std::string_view page) {
    std::string request = longRequest("R14");
    overwrite(request, pageNumber, fixedWidth("00000", page, size_t(pageNumber.width)));
    return request;
}

std::string readInstruction(uint32_t lineNumber) {
    return withLine("R15", lineNumber);
}

std::string writeInstruction(uint32_t lineNumber, std::string_view recordDigits) {
    std::string request(putInstructionTemplate);
    overwrite(request, packet::line, lineDigits(lineNumber));
    overwrite(request, record, recordDigits);
    return request;
}

std::string eraseFlash() {
    return longRequest("R17");
}
std::string readStoredPositions(uint32_t lineNumber) {
    return withLine("R18", lineNumber);
}

std::string storePositions(uint32_t lineNumber, const std::array<std::string, 8>& positions) {
    std::string request = withLine("R19", lineNumber);
    for (int servo = 1; servo <= 8; ++servo) {
        overwrite(request, storedPosition(servo), positions[size_t(servo - 1)]);
    }
    return request;
}

std::string readSpeed(uint32_t location) {
    return withLine("R1A", location);
}

std::string writeSpeed(uint32_t location, const std::array<std::string, 8>& speeds,
                       const std::array<std::string, 8>& controls) {
    std::string request = withLine("R1B", location);
    for (int servo = 1; servo <= 8; ++servo) {
        overwrite(request, speed(servo), speeds[size_t(servo - 1)]);
        overwrite(request, speedControl(servo), controls[size_t(servo - 1)]);
    }
    return request;
}

std::string readPacked(uint32_t lineNumber) {
    return withLine("R1C", lineNumber);
}

std::string packedWriteData(uint32_t lineNumber, std::string_view recordDigits) {
    return "OV0R1D" + lineDigits(lineNumber) + std::string(recordDigits);
}

std::string storeParameters(std::string_view parameterDigits) {
    std::string request = longRequest("R1W");
    overwrite(request, parameterPrefix, "00000");
    overwrite(request, parameterBlock, parameterDigits);
    return request;
}

void putDocomaxFields(const DocomaxFields& fields, LinkGlobals& g) {
    g.cmdcode = fields.cmdcode;
    g.cmddata = fields.cmddata;
    g.cmdparm1 = fields.cmdparm1;
    g.cmdparm2 = fields.cmdparm2;
    g.cmdparm3 = fields.cmdparm3;
    g.datablock = fields.datablock;
}

void startDocomax(const DocomaxFields& fields, LinkGlobals& g) {
    g.replyparm3.clear();
    g.packet.clear();
    putDocomaxFields(fields, g);
}

DocomaxFields readParameters() {
    DocomaxFields fields;
    fields.cmdcode = "R1R";
    return fields;
}

DocomaxFields reloadParameters() {
    DocomaxFields fields;
    fields.cmdcode = "R1C";
    return fields;
}

DocomaxFields typedCommand(std::string_view commandCode, std::string_view data) {
    DocomaxFields fields;
    fields.cmdcode = fixedWidth("000", commandCode, 3);
    fields.cmddata = fixedWidth("00000", data, 5);
    return fields;
}

DocomaxFields versionCommand(std::string_view data) {
    return typedCommand("R02", data);
}

std::string docomaxRequest(const DocomaxFields& fields) {
    std::string request(docomaxTemplate);
    overwrite(request, code, fields.cmdcode);
    overwrite(request, parm1, fields.cmdparm1);
    overwrite(request, parm2, fields.cmdparm2);
    overwrite(request, parm3, fields.cmdparm3);
    overwrite(request, cmdData, fields.cmddata);
    if (fields.datablock.size() > 40) {
        overwrite(request, dataBlock, fields.datablock);
    }
    return request;
}

std::string readEeprom(uint32_t address) {
    return shortRequest(memoryTemplate, 'E', shortAddress, hexDigits(address, 4));
}

std::string readRam(uint32_t address) {
    return shortRequest(memoryTemplate, 'R', shortAddress, hexDigits(address, 4));
}

std::string writeEeprom(uint32_t address, uint32_t value) {
    return memoryWrite('F', address, value);
}
std::string writeRam(uint32_t address, uint32_t value) {
    return memoryWrite('S', address, value);
}

std::string moveToStoredLine(uint32_t lineNumber) {
    std::string request(moveToTemplate);
    overwrite(request, shortLine, hexDigits(lineNumber, 6));
    return request;
}

std::string jogUp(std::string_view step, int servo) {
    return jog(jogUpTemplate, step, servo);
}
std::string jogDown(std::string_view step, int servo) {
    return jog(jogDownTemplate, step, servo);
}

std::string switchOutput(uint32_t output, bool on) {
    std::string request(on ? outputOnTemplate : outputOffTemplate);
    overwrite(request, outputNumber, hexDigits(output, 2));
    return request;
}

} // namespace pkivo::packet
