#include "console/commandsender.h"

#include "link/link.h"
#include "link/packets.h"
#include "link/replies.h"
#include "link/resultcodes.h"

namespace pkivo {

namespace {

const char* const noOrInvalidData = "Error - No or invalad Data received";
const char* const noData = "Error - No Data received";
const char* const noVersion = "No Data";

SentCommand outcome(Link& link, SentKind kind, bool held) {
    SentCommand sent;
    sent.kind = kind;
    sent.held = held;
    if (!held) {
        sent.errcode = result::linkBusy;
        sent.errtext = result::text(result::linkBusy);
        return sent;
    }
    const LinkGlobals& g = link.globals();
    sent.errcode = g.errcode;
    sent.errtext = g.errtext;
    sent.reply = g.packet;
    if (kind != SentKind::Short) {
        sent.version = reply::softwareVersion(g.packet);
    }
    return sent;
}

SentCommand sendFields(Link& link, SentKind kind, const packet::DocomaxFields& fields) {
    const bool held = link.request(
        [&](LinkGlobals& g) {
            // "Request Version" has always left replyparm3 alone.
            if (kind == SentKind::Long) {
                g.replyparm3.clear();
            }
            g.packet.clear();
            packet::putDocomaxFields(fields, g);
        },
        &Link::docomax);
    return outcome(link, kind, held);
}

} // namespace

bool SentCommand::answered() const {
    return held && errcode == result::ok;
}

SentCommand sendLongCommand(Link& link, std::string_view code, std::string_view data) {
    return sendFields(link, SentKind::Long, packet::typedCommand(code, data));
}

SentCommand requestVersion(Link& link, std::string_view data) {
    return sendFields(link, SentKind::Version, packet::versionCommand(data));
}

SentCommand sendShortCommand(Link& link, std::string_view shortPacket) {
    const bool held = link.request(std::string(shortPacket), &Link::smallcomax);
    return outcome(link, SentKind::Short, held);
}

std::string responseText(const SentCommand& sent) {
    const std::string status = result::statusLine(sent.errcode, sent.errtext);
    if (!sent.held) {
        return status;
    }
    if (sent.answered()) {
        return sent.reply;
    }
    const std::string first = sent.kind == SentKind::Long      ? noOrInvalidData
                              : sent.kind == SentKind::Version ? noData
                                                               : sent.reply;
    return first + "\n" + status;
}

std::optional<std::string> versionLabel(const SentCommand& sent) {
    if (!sent.held || sent.kind == SentKind::Short) {
        return std::nullopt;
    }
    if (sent.version) {
        return sent.version;
    }
    return sent.kind == SentKind::Version ? noVersion : "";
}

} // namespace pkivo
