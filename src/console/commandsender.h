// The command senders: a long command typed by the user, or "Request Version", through
// docomax, and a short packet typed in full through smallcomax. The two sender windows and
// pkivo-cli's send-long and send-short all go through here, so they pad, read the version and
// judge the outcome alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

class Link;

enum class SentKind {
    Long,    // "Send ": the code box and the data box, padded
    Version, // "Request Version": R02 whatever the code box holds
    Short,   // the short packet, as typed
};

struct SentCommand {
    SentKind kind = SentKind::Long;
    bool held = false;   // false: another exchange held the link and nothing was sent
    std::string errcode; // "B" when not held
    std::string errtext;
    std::string reply; // `packet` afterwards: the reply, or what the routine left there
    std::optional<std::string> version; // the version text, when the reply carried one

    // A reply came and its result code is "0". A long command that nothing answered is never
    // this: docomax then reports "Z" "Unable to connect".
    bool answered() const;
};

// "000" + code and "00000" + data, each cut to its rightmost characters.
SentCommand sendLongCommand(Link& link, std::string_view code, std::string_view data);
SentCommand requestVersion(Link& link, std::string_view data);
// Sent exactly as typed: no padding, cutting or checking.
SentCommand sendShortCommand(Link& link, std::string_view shortPacket);

// What the reply box shows: the reply when answered; otherwise the sender's error text (for a
// short command what the routine left in `packet`) and, on a line of its own, the result code
// and its text, so that a failure never passes for a reply. A refused send shows "B Link busy".
std::string responseText(const SentCommand& sent);
// What the version label shows afterwards; none when it keeps what it showed (nothing was sent,
// or a short command).
std::optional<std::string> versionLabel(const SentCommand& sent);

} // namespace pkivo
