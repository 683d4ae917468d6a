// The one-character result codes every exchange leaves in `errcode`, their texts, and the
// connection texts of `linkstatus`.
#pragma once

#include <string>
#include <string_view>

namespace pkivo::result {

inline constexpr std::string_view ok = "0";
inline constexpr std::string_view invalidPacket = "1";      // reported by the controller
inline constexpr std::string_view noBusResponse = "2";      // reported by the controller
inline constexpr std::string_view invalidInstruction = "X"; // reported by the controller
inline constexpr std::string_view unableToConnect = "Z";
inline constexpr std::string_view portNotOpen = "7";
// Our own: a routine was called while another exchange was on the wire and sent nothing.
inline constexpr std::string_view linkBusy = "B";

// The text of `code`: "Undefined error" for a code not in the table. An empty code has no
// text of its own (`errtext` keeps what it held); this returns "" for it.
std::string_view text(std::string_view code);

// What a status line shows for an exchange: the code, one blank, the text ("B Link busy...").
std::string statusLine(std::string_view code, std::string_view text);
// The same with `code`'s own text.
std::string statusLine(std::string_view code);

} // namespace pkivo::result

namespace pkivo::linkstatus {
inline constexpr std::string_view waiting = "Waiting for a response";
inline constexpr std::string_view connected = "Connected";
inline constexpr std::string_view unableToConnect = "Unable to Connect";
inline constexpr std::string_view cannotConnect = "Cannot Connect";
} // namespace pkivo::linkstatus
