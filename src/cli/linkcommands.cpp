#include "cli/linkcommands.h"

#include "cli/stderrui.h"
#include "core/textfield.h"
#include "link/link.h"
#include "link/packets.h"
#include "platform/eventloopwaiter.h"
#include "platform/qtserialport.h"
#include "setup/settingsfile.h"

#include <QCoreApplication>

#include <cctype>
#include <functional>
#include <iostream>
#include <optional>

namespace pkivo::cli {

namespace {

struct LinkOptions {
    std::optional<std::string> port; // two digits, from --port
    Arguments rest;
};

bool isPortNumber(const std::string& text) {
    if (text.empty() || text.size() > 2) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// Takes "--port N" out of `args`; nothing when it is malformed.
std::optional<LinkOptions> parseOptions(const Arguments& args) {
    LinkOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port") {
            if (i + 1 >= args.size() || !isPortNumber(args[i + 1])) {
                std::cerr << "pkivo-cli: --port needs a port number from 0 to 99 (0 searches)\n";
                return std::nullopt;
            }
            options.port = fixedWidth("00", args[++i], 2);
        } else if (args[i].starts_with("--port=") && isPortNumber(args[i].substr(7))) {
            options.port = fixedWidth("00", args[i].substr(7), 2);
        } else {
            options.rest.push_back(args[i]);
        }
    }
    return options;
}

// Loads the settings, opens the port as the console's start-up does and, when a controller
// answered, runs `exchange` on the link. Returns the exit status.
int withLink(const LinkOptions& options, const std::function<int(Link&)>& exchange) {
    StderrUi ui;
    SettingsRecord sysparams;
    if (!initparams(sysparams, ui)) {
        return exitFailed;
    }
    PortSettings settings{sysparams.comport(), sysparams.combaud(), sysparams.comparity(),
                          sysparams.combits(), sysparams.comstopbits()};
    if (options.port) {
        settings.comport = *options.port;
    }
    int argc = 1;
    char name[] = "pkivo-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QtSerialPort port;
    EventLoopWaiter waiter;
    Link link(port, waiter);
    ConnectResult connected = link.opencomport(settings, ui);
    int status = exitFailed;
    if (connected == ConnectResult::Connected) {
        status = exchange(link);
    } else {
        std::cout << link.boardinfo() << '\n';
    }
    port.close();
    return status;
}

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
    return withLink(*options, [](Link& link) {
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
    return withLink(*options, [&](Link& link) {
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
    return withLink(*options, [&](Link& link) {
        link.globals().packet = shortPacket;
        link.smallcomax();
        return printResult(link);
    });
}

} // namespace pkivo::cli
