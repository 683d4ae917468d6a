// Reading the controller's replies: one decoder per kind of answer, so a window names what it
// reads and never counts positions itself. A decoder says when the reply lacks the characters
// it reads or holds something other than hex digits where only they can stand; where a window
// reads fields leniently (the editors, the board parameters), the lenient rule is kept here.
#pragma once

#include "link/linkglobals.h"
#include "link/packetlayout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo::reply {

enum class DecodeError {
    None,
    TooShort,    // the reply ends before the last character the decoder reads
    WrongLength, // a short reply that had to be exactly 9 characters
    NotHex,      // a character that must be a hex digit is not one
};

// A value, or why there is none.
template <class T> struct Decoded {
    std::optional<T> value;
    DecodeError error = DecodeError::None;
    bool ok() const { return value.has_value(); }
};

// ---- The lenient hex rule -----------------------------------------------------------------
// The editors and the board parameters read hex fields "as far as they are hexadecimal digits":
// "4G" reads 4, and an empty text or one that starts with another character reads 0.
uint32_t leadingHexValue(std::string_view digits);
// A field read by the lenient rule in two parts: its last two digits are the low part, the
// digits before them the high part, high x 256 + low. "1G34" reads 256 + 52; a 12-bit field's
// high part is its first digit alone.
uint32_t hexFieldValue(std::string_view digits);

// ---- Short replies (memory editor) --------------------------------------------------------

enum class LengthRule {
    Exact, // Read: anything but exactly 9 characters is an error
    Loose, // writes and quick rows: 7-8 of whatever the buffer holds, the echo or not
};
// The byte at 7-8, two hex digits.
Decoded<uint8_t> memoryByte(const std::string& reply, LengthRule rule);

// OU / OD: the servo's new position at 3-6 (4 hex digits) and the servo at 7-8, "01" to "08".
// Exactly 9 characters, as the jog demands; a servo code outside 01-08 reads as servo 0, which
// names no box.
struct JogReply {
    int servo = 0;
    uint16_t position = 0;
};
Decoded<JogReply> jogReply(const std::string& reply);

// ---- Long replies -------------------------------------------------------------------------

// R18: eight 5-character positions at 13-52, as received: Get shows them unchanged, leading
// zeros and all, so nothing is converted and nothing refused.
Decoded<std::array<std::string, 8>> storedPositions(const std::string& reply);

// R01: servo k's current position as 4 hex digits at 7 + 4(k-1).
Decoded<std::array<uint16_t, 8>> currentPositions(const std::string& reply);

// R1A: eight 3-character speeds at 13-36 and eight control values at 37-60, as received; the
// Speed Editor shows the texts and converts nothing.
struct SpeedEntry {
    std::array<std::string, 8> speeds;
    std::array<std::string, 8> controls;
};
Decoded<SpeedEntry> speedEntry(const std::string& reply);

// The 32-digit instruction record, digits counted within the record; 16-bit fields high first.
namespace instructionDigits {
inline constexpr Field instruction{1, 2};
inline constexpr Field Speedref{3, 2};
inline constexpr Field Toposition{5, 4};
inline constexpr Field specify(int i) {
    return {9 + 6 * i, 2};
} // i = 0 to 2
inline constexpr Field datax(int i) {
    return {11 + 6 * i, 4};
}
inline constexpr Field data5(int i) {
    return {27 + 2 * i, 2};
}
} // namespace instructionDigits

// The 64-digit packed record: 4-bit selectors with 12-bit data, then eight servo positions.
namespace packedDigits {
inline constexpr Field inPackdata{1, 64}; // packreceiver leaves the record at 1-64 of `packdata`
inline constexpr Field instruction{1, 2};
inline constexpr Field Speedref{3, 2};
inline constexpr Field Toposition{5, 4};
inline constexpr Field specify(int i) {
    return {9 + 4 * i, 1};
} // i = 0 to 3
inline constexpr Field datax(int i) {
    return {10 + 4 * i, 3};
}
inline constexpr Field data5(int i) {
    return {25 + 4 * i, 4};
} // i = 0 to 1
inline constexpr Field servo(int k) {
    return {29 + 4 * k, 4};
} // k = 1 to 8, S1edat to S8edat
} // namespace packedDigits

// The 32-digit board parameter block, digits counted within the block (add 11 for the reply).
namespace parameterDigits {
inline constexpr Field flags{1, 2};       // bit 3 limits, bit 2 report on, bits 1-0 storage
inline constexpr Field runControls{3, 2}; // bit 2 hardware, bit 1 push button, bit 0 power-up
inline constexpr Field ioOptions{9, 2};   // bit 0: LCP (I/O 4) is an input
inline constexpr Field reportRate{15, 2};
inline constexpr Field minPulse{17, 4};
inline constexpr Field maxPulse{21, 4};
inline constexpr Field activeServos{25, 2}; // bit k-1 for servo k
} // namespace parameterDigits

// Flags bits 1-0; 3 is shown as Other too. Spelled as the window's option says.
enum class StorageMode { Seperate, Common, Other };

// The block decoded for the Board Parameters window, named after its controls, plus the block
// itself: Store sends back every bit the window does not show exactly as read.
struct BoardParameters {
    std::string boardparams; // the 32 digits at 12-43
    bool uselimits = false;
    bool reporton = false;
    StorageMode storage = StorageMode::Seperate;
    bool Runonhw = false;
    bool Runonpb = false;
    bool Runonpu = false;
    bool iocon1 = false;
    uint8_t reportrate = 0;
    uint16_t minpulse = 0;
    uint16_t maxpulse = 0;
    std::array<bool, 8> Servos1{}; // index 0 is Servo1
};
// R1R: the block at 12-43, each field by the lenient hex rule ("a field that does not begin
// with a hex digit reads as 0").
Decoded<BoardParameters> boardParameters(const std::string& reply);

// R02 (and any reply that carries it): the version text at 7-19 when 7-13 read "Version",
// as much of it as came; none otherwise.
std::optional<std::string> softwareVersion(const std::string& reply);
// How an exchange that wants a long reply went, judged by the reply itself: good only when a
// framed reply ("OV" ... "H~") came back carrying result code "0" at 62. A routine may leave
// "0" "No errors" behind when nothing answered (rawsender after a reply of 64 characters of
// anything, docomax once did after three unanswered attempts), so a window that decodes or
// enables on "0" asks this instead. Not good: the routine's code and text when it failed, the
// reply's own code and its text when the controller refused, "Z" and its text when what came
// back is no reply at all.
struct Outcome {
    bool good = false;
    std::string errcode;
    std::string errtext;
    std::string text() const { return errcode + " " + errtext; }
};
Outcome longOutcome(const LinkGlobals& g);

// R14: at least 528 hex digits. The page is handed over whole, as the flash file stores it;
// characters past 528 are kept and not checked.
Decoded<std::string> flashPage(const std::string& packdata);

} // namespace pkivo::reply
