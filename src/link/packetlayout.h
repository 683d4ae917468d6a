// The controller's packet formats: templates, lead-ins, attention characters and the field
// positions of long packets, short packets and status records. Every packet is built by
// overwriting these fields of a template and every reply is read by cutting them out.
#pragma once

#include "core/pageline.h"
#include "core/textfield.h"

#include <string_view>

namespace pkivo::packet {

// Attention characters and the controller's ready answers.
inline constexpr char attentionLong = '&'; // answered ':' when ready for a long or short packet
inline constexpr char readyLong = ':';
inline constexpr char attentionFlash = '#'; // answered '!' when ready for a page or packed record
inline constexpr char readyFlash = '!';
// Lead-ins sent right before the payload.
inline constexpr char leadLong = '$';   // a long packet, or a flash page line after '#'
inline constexpr char leadShort = '-';  // a short packet
inline constexpr char leadPacked = '+'; // packed data after '#', closed by '~'
inline constexpr char packedEnd = '~';

// Long packets: 64 characters, "OV0" ... "H~".
inline constexpr size_t longLength = 64;
inline constexpr std::string_view genericTemplate =
    "OV0iiiSSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
inline constexpr std::string_view docomaxTemplate =
    "OV0iii000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
inline constexpr std::string_view putInstructionTemplate =
    "OV0R16SSSSxxxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
// The connect check's version request: sent as it stands, lead-in included (67 after "$").
inline constexpr std::string_view versionRequest =
    "$OV0R02000000xxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxx000xxxx0H~";

inline constexpr Field start{1, 3};      // "OV0"
inline constexpr Field replyMark{1, 2};  // "OV" in a valid reply
inline constexpr Field code{4, 3};       // command code, "R05"
inline constexpr Field dataBlock{7, 41}; // `datablock`
inline constexpr Field line{7, 6};       // program line as 6 hex digits
inline constexpr Field pageNumber{7, 5}; // flash page as 5 decimal digits (R14)
inline constexpr Field cmdData{7, 5};    // `cmddata` (docomax)
inline constexpr Field record{13,
                              int(pageline::recordDigits)}; // instruction record (R15 reply, R16)
inline constexpr Field parameterBlock{12, 32};              // board parameters (R1R reply, R1W)
inline constexpr Field parameterPrefix{7, 5}; // "00000" before the parameter block (R1W)
inline constexpr Field versionMark{7, 7};     // "Version" in the answer to R02
inline constexpr Field versionText{7, 13};    // the version shown to the user
inline constexpr Field parm1{51, 3};          // `cmdparm1`
inline constexpr Field parm2{55, 3};          // `cmdparm2`
inline constexpr Field parm3{58, 3};          // `cmdparm3` sent, `replyparm3` read
inline constexpr Field resultCode{62, 1};     // "0" when sent; the controller's result code
inline constexpr Field end{63, 2};            // "H~"
inline constexpr Field okMark{1, 5};          // "OV0OK": a flash page was written

// Stored positions (R18 reply, R19): eight 5-digit decimal values, servo k at 13 + 5(k-1).
inline constexpr Field storedPosition(int servo) {
    return {13 + 5 * (servo - 1), 5};
}
// Current positions (R01 reply): servo k as 4 hex digits at 7 + 4(k-1).
inline constexpr Field currentPosition(int servo) {
    return {7 + 4 * (servo - 1), 4};
}
// Speed entries (R1A reply, R1B): location as 6 hex digits at 7, eight 3-character speeds at
// 13 + 3(k-1) and eight 3-character control values at 37 + 3(k-1).
inline constexpr Field speedLocation{7, 6};
inline constexpr Field speed(int servo) {
    return {13 + 3 * (servo - 1), 3};
}
inline constexpr Field speedControl(int servo) {
    return {37 + 3 * (servo - 1), 3};
}

// Short packets: 9 characters, "O", a command letter, six data characters, "H".
inline constexpr size_t shortLength = 9;
inline constexpr Field shortMark{1, 1};    // "O"
inline constexpr Field shortCommand{2, 1}; // "E", "R", "F", "S", "T", "U", "D", "O"
inline constexpr Field shortAddress{3, 4}; // memory address, 4 hex digits (OE, OR, OF, OS)
inline constexpr Field shortByte{7, 2};    // byte, 2 hex digits (OE, OR, OF, OS)
inline constexpr Field shortLine{3, 6};    // stored position line, 6 hex digits (OT)
inline constexpr Field jogStep{3,
                               4}; // jog step "0010" or "0001" (OU, OD); new position in the reply
inline constexpr Field jogServo{7, 2};     // servo "01" to "08" (OU, OD)
inline constexpr Field outputNumber{3, 2}; // output number, 2 hex digits (OO)
inline constexpr Field outputState{5, 1};  // "1" on, "0" off (OO)
inline constexpr Field shortEnd{9, 1};     // "H"
inline constexpr std::string_view memoryTemplate = "OCDDDDDDH";
inline constexpr std::string_view ramReadTemplate = "ORDDDDDDH";
inline constexpr std::string_view ramWriteTemplate = "OSDDDDDDH";
inline constexpr std::string_view moveToTemplate = "OTDDDDDDH";
inline constexpr std::string_view jogUpTemplate = "OUDDDDDDH";
inline constexpr std::string_view jogDownTemplate = "ODDDDDDDH";
inline constexpr std::string_view outputOnTemplate = "OODD1DDDH";
inline constexpr std::string_view outputOffTemplate = "OODD0DDDH";
inline constexpr std::string_view shortSenderDefault = "OXDDDDDDH";

// Flash pages: the answer to R14 is at least 528 characters; a page line of a flash data file
// is 5 decimal digits of page number and 528 hex digits (16 records of 32, then 16 more).
inline constexpr size_t flashPageLength = pageline::pageDigits;
inline constexpr size_t pageLineLength = pageline::length;
inline constexpr Field pageLineNumber = pageline::number;
inline constexpr Field pageLineDigits = pageline::digits;

// Packed records (R1D): "OV0R1D", the line as 6 hex digits, 64 record digits.
inline constexpr size_t packedRecordDigits = 64;
inline constexpr Field packedRecord{13, 64}; // after "OV0R1D" (code at 4-6) and the line at 7-12

// Status records, streamed by a running program: 24 characters.
namespace status {
inline constexpr size_t length = 24;
inline constexpr Field mark{1, 2}; // "AB"
inline constexpr Field position{3, 4};
inline constexpr Field stack{7, 4};
inline constexpr Field loop{11, 4};
inline constexpr Field mode{15, 2};         // bit 4 (16) running, bit 5 (32) paused
inline constexpr Field notification{17, 2}; // 00, 20-22, 28-2A, 32, 63
inline constexpr Field line{19, 6};         // the line being run, plus 1
} // namespace status

} // namespace pkivo::packet
