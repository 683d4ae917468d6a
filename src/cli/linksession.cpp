#include "cli/linksession.h"

#include "cli/stderrui.h"
#include "console/linekeeper.h"
#include "core/numbertext.h"
#include "core/textfield.h"
#include "link/link.h"
#include "platform/qt/eventloopwaiter.h"
#include "platform/qt/qtserialport.h"
#include "platform/qt/qtticker.h"
#include "setup/settingsfile.h"

#include <QCoreApplication>

#include <algorithm>
#include <iostream>

namespace pkivo::cli {

namespace {

// A port number as --port takes it: one or two digits.
bool isPortNumber(const std::string& text) {
    return text.size() <= 2 && digitsValue(text, 99).has_value();
}

} // namespace

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

namespace {

using Session = std::function<int(Link&, Waiter&, const SettingsRecord&, const PortSettings&)>;

// The settings, the port and the connect check; `session` runs once a controller answered.
int openSession(const LinkOptions& options, const Session& session) {
    StderrUi ui;
    SettingsRecord sysparams;
    if (!initparams(sysparams, ui)) {
        return exitFailed;
    }
    PortSettings settings = portSettingsFrom(sysparams);
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
        status = session(link, waiter, sysparams, settings);
    } else {
        std::cout << link.boardinfo() << '\n';
    }
    port.close();
    return status;
}

} // namespace

int withLink(const LinkOptions& options, const Exchange& exchange) {
    return openSession(options, [&](Link& link, Waiter&, const SettingsRecord& sysparams,
                                    const PortSettings&) { return exchange(link, sysparams); });
}

int withKeptLink(const LinkOptions& options, bool reconnect, const KeptExchange& exchange) {
    return openSession(options, [&](Link& link, Waiter& waiter, const SettingsRecord&,
                                    const PortSettings& settings) {
        QtTicker ticker;
        LineKeeper keeper(link, waiter, ticker, [&] { return settings; });
        keeper.setEnabled(reconnect);
        keeper.setBoardShown([](const std::string& board) {
            std::cout << board << '\n' << std::flush;
        });
        return exchange(link, keeper);
    });
}

bool takeReconnect(Arguments& args) {
    auto found = std::find(args.begin(), args.end(), "--no-reconnect");
    if (found == args.end()) {
        return true;
    }
    args.erase(found);
    return false;
}

} // namespace pkivo::cli
