#include "console/runcommands.h"

#include "link/link.h"
#include "link/resultcodes.h"

namespace pkivo {

bool RunCommandResult::sent() const {
    return errcode == result::ok;
}

RunCommandResult sendRunCommand(Link& link, const std::string& runPacket) {
    const bool held = link.request(
        [&runPacket](LinkGlobals& g) {
            g.packet = runPacket;
            g.datablock = std::string(41, '0');
        },
        &Link::sendonly);
    if (!held) {
        return {std::string(result::linkBusy), std::string(result::text(result::linkBusy))};
    }
    return {link.globals().errcode, link.globals().errtext};
}

} // namespace pkivo
