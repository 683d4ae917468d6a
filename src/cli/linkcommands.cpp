#include "cli/linkcommands.h"

#include "cli/linksession.h"
#include "link/link.h"
#include "link/packets.h"

#include <iostream>

namespace pkivo::cli {

namespace {

int printResult(const Link& link) {
    const LinkGlobals& g = link.globals();
    std::cout << g.packet << '\n' << g.errcode << ' ' << g.errtext << '\n' << std::flush;
    return g.errcode == "0" ? exitOk : exitFailed;
}

} // namespace

int connect(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || !options->rest.empty()) {
        std::cerr << "usage: pkivo-cli connect [--port N]\n";
        return exitUsage;
    }
    return withLink(*options, [](Link& link, const SettingsRecord&) {
        std::cout << link.boardinfo() << '\n';
        return exitOk;
    });
}

int sendLong(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || options->rest.empty() || options->rest.size() > 2) {
        std::cerr << "usage: pkivo-cli send-long CODE [DATA] [--port N]\n";
        return exitUsage;
    }
    const std::string code = options->rest[0];
    const std::string data = options->rest.size() > 1 ? options->rest[1] : std::string();
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        LinkGlobals& g = link.globals();
        g.replyparm3.clear();
        g.packet.clear();
        packet::putDocomaxFields(packet::typedCommand(code, data), g);
        link.docomax();
        return printResult(link);
    });
}

int sendShort(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || options->rest.size() != 1) {
        std::cerr << "usage: pkivo-cli send-short PACKET [--port N]\n";
        return exitUsage;
    }
    const std::string shortPacket = options->rest[0];
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        link.globals().packet = shortPacket;
        link.smallcomax();
        return printResult(link);
    });
}

} // namespace pkivo::cli
