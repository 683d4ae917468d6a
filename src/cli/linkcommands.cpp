#include "cli/linkcommands.h"

#include "cli/linksession.h"
#include "console/commandsender.h"
#include "link/link.h"

#include <iostream>

namespace pkivo::cli {

namespace {

// What the sender window shows: the reply, or the sender's error text and the result code on
// a line of their own. The last line is always the result code and its text, and a version
// the reply carried comes before it, as the window's label shows it.
int printResult(const SentCommand& sent) {
    std::cout << responseText(sent) << '\n';
    if (sent.version) {
        std::cout << "S/W Version: " << *sent.version << '\n';
    }
    if (sent.answered()) {
        std::cout << sent.errcode << ' ' << sent.errtext << '\n';
    }
    std::cout << std::flush;
    return sent.answered() ? exitOk : exitFailed;
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
        return printResult(sendLongCommand(link, code, data));
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
        return printResult(sendShortCommand(link, shortPacket));
    });
}

} // namespace pkivo::cli
