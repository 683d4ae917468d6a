// Building the controller's packets and reading its replies. Every request is a template with
// fields overwritten (positions in packetlayout.h); every reply is checked and cut the same way.
// One builder per command, so a window names what it sends and never counts positions itself.
#pragma once

#include "link/linkglobals.h"
#include "link/packetlayout.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pkivo::packet {

// ---- Checks -------------------------------------------------------------------------------

// A long reply is valid when it starts "OV" and has "H~" at 63-64; nothing else is looked at,
// neither the command code nor anything past 64.
bool isValidLongReply(const std::string& reply);
// A short reply is valid when it starts "O" and has "H" at 9; more characters may follow.
bool isValidShortReply(const std::string& reply);
// "Version" at 7-13 of the answer to R02.
bool carriesVersion(const std::string& reply);
// "OV0OK" at 1-5: the controller has written a flash page.
bool isPageWritten(const std::string& reply);

inline constexpr std::string_view validPacket = "A Valid packet has been received";
inline constexpr std::string_view invalidPacket = "Invalid responce from system";
std::string_view longReplyStatus(const std::string& reply);
std::string_view shortReplyStatus(const std::string& reply);

// ---- Status records -----------------------------------------------------------------------
// A running program streams them unasked, so they share the line with every answer.
namespace status {
// Whether `c` can belong to a status record: its "AB" mark and its digits are all upper-case
// hex digits. No attention answer (":", "!") and no reply's first character ("O") can.
bool isRecordCharacter(char c);
// The position of the first character of `text`, from `from` on, that cannot belong to a
// status record; text.size() when there is none.
size_t firstNonRecordCharacter(std::string_view text, size_t from = 0);
// `text` from its first "AB" mark on; a trailing "A" is kept, as its "B" may be on its way.
// Empty when there is no mark.
std::string_view fromMark(std::string_view text);
} // namespace status

// ---- Long requests ------------------------------------------------------------------------

// The generic template with `code` at 4-6; every other character as in the template.
std::string longRequest(std::string_view commandCode);
// A program line as it travels: "000000" + hex, rightmost 6.
std::string lineDigits(uint32_t lineNumber);

std::string stopProgram();                             // R00 (sendonly)
std::string readCurrentPositions(uint32_t lineNumber); // R01 (rawsender)
std::string runProgram(uint32_t lineNumber); // R05 (sendonly): from line 0 or a given line
std::string pauseProgram();                  // R07 (sendonly)
// R14 (binreceiver): `page` as typed, "00000" put in front, rightmost 5.
std::string readFlashPage(std::string_view page);
std::string readInstruction(uint32_t lineNumber); // R15 (rawsender)
// R16 (rawsender): its own template; the 32 record digits at 13-44.
std::string writeInstruction(uint32_t lineNumber, std::string_view recordDigits);
std::string eraseFlash();                             // R17 (rawsender): 7-11 stay "SSSSx"
std::string readStoredPositions(uint32_t lineNumber); // R18 (rawsender)
// R19 (rawsender): eight 5-character decimal positions at 13-52, already formatted.
std::string storePositions(uint32_t lineNumber, const std::array<std::string, 8>& positions);
std::string readSpeed(uint32_t location); // R1A (rawsender)
// R1B (rawsender): eight 3-character speeds at 13-36 and control values at 37-60.
std::string writeSpeed(uint32_t location, const std::array<std::string, 8>& speeds,
                       const std::array<std::string, 8>& controls);
std::string readPacked(uint32_t lineNumber); // R1C (packreceiver)
// R1D (packwriter): not a long packet but `packdata`, "OV0R1D" + line + 64 record digits.
std::string packedWriteData(uint32_t lineNumber, std::string_view recordDigits);
// R1W (rawsender): "00000" at 7-11 and the 32-digit parameter block at 12-43.
std::string storeParameters(std::string_view parameterDigits);

// What docomax sends, field by field: the globals `cmdcode`, `cmddata`, `cmdparm1` to
// `cmdparm3` and `datablock` take these values before the call.
struct DocomaxFields {
    std::string cmdcode;
    std::string cmddata = "00000";
    std::string cmdparm1 = "000";
    std::string cmdparm2 = "000";
    std::string cmdparm3 = "000";
    std::string datablock;
};
// Puts `fields` into the globals docomax takes its request from.
void putDocomaxFields(const DocomaxFields& fields, LinkGlobals& g);
// The same, with `packet` and `replyparm3` of an earlier exchange cleared, so that nothing of it
// can pass for this one's reply.
void startDocomax(const DocomaxFields& fields, LinkGlobals& g);

DocomaxFields readParameters();   // R1R
DocomaxFields reloadParameters(); // R1C: reload the board parameters from EEPROM
// A command typed by the user: "000" + code rightmost 3, "00000" + data rightmost 5.
DocomaxFields typedCommand(std::string_view commandCode, std::string_view data);
// "Request Version": R02 whatever the code box holds, the data as typed.
DocomaxFields versionCommand(std::string_view data);

// docomax's request: its template with the fields written over it, each at most its width
// and no more characters than the value has. A `datablock` longer than 40 characters fills
// 7-47 with its first 41. Without the "$" lead-in.
std::string docomaxRequest(const DocomaxFields& fields);

// ---- Short requests -----------------------------------------------------------------------

std::string readEeprom(uint32_t address);                  // OE
std::string readRam(uint32_t address);                     // OR
std::string writeEeprom(uint32_t address, uint32_t value); // OF
std::string writeRam(uint32_t address, uint32_t value);    // OS
std::string moveToStoredLine(uint32_t lineNumber);         // OT
// OU / OD: `step` is "0010" or "0001"; servo 1 to 8 as "01" to "08".
std::string jogUp(std::string_view step, int servo);
std::string jogDown(std::string_view step, int servo);
std::string switchOutput(uint32_t output, bool on); // OO

} // namespace pkivo::packet
