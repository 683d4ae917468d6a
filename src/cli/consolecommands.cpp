#include "cli/consolecommands.h"

#include "cli/linksession.h"
#include "console/flashdownload.h"
#include "console/linekeeper.h"
#include "console/linenumber.h"
#include "console/runcommands.h"
#include "console/statusmonitor.h"
#include "link/link.h"
#include "link/packets.h"
#include "setup/settingsrecord.h"

#include <iostream>

namespace pkivo::cli {

namespace {

class PrintingDownload : public DownloadObserver {
public:
    void pageStarted(const std::string& pageText, int index, int total) override {
        std::cout << pageText << "  (" << index + 1 << " of " << total << ")\n" << std::flush;
    }
};

void printStatus(const StatusDisplay& d) {
    std::cout << "Position " << d.position << "  Stack " << d.stack << "  Loop " << d.loop
              << "  Line " << d.currentline << "  " << d.runstop << "  " << d.notifications << '\n'
              << std::flush;
}

// Sends a run, pause or stop command as the main window's buttons do; no reply is awaited.
int runCommand(Link& link, const std::string& runPacket) {
    const RunCommandResult result = sendRunCommand(link, runPacket);
    std::cout << result.errcode << ' ' << result.errtext << '\n' << std::flush;
    return result.sent() ? exitOk : exitFailed;
}

// Listens as the main window's monitor does, again after every reconnect; failed when the
// line was lost for good.
int listen(Link& link, LineKeeper& keeper) {
    StatusDisplay display;
    link.setMonitoring(true);
    do {
        statusmonitor(link, display, printStatus);
    } while (keeper.awaitLine());
    return keeper.state() == LineState::Up ? exitOk : exitFailed;
}

// Parses "--port N" and checks the number of remaining arguments.
std::optional<LinkOptions> options(const Arguments& args, size_t maxRest, const char* usage) {
    std::optional<LinkOptions> parsed = parseOptions(args);
    if (!parsed || parsed->rest.size() > maxRest) {
        std::cerr << "usage: pkivo-cli " << usage << '\n';
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int download(const Arguments& args) {
    auto parsed = options(args, 0, "download [--port N]");
    if (!parsed) {
        return exitUsage;
    }
    return withLink(*parsed, [](Link& link, const SettingsRecord& sysparams) {
        PrintingDownload printer;
        const std::string path = sysparams.flashfileloc();
        const DownloadOutcome outcome = downloadFlashFile(link, path, printer);
        const bool ok = outcome.result == DownloadResult::Ok;
        if (!ok) {
            std::cerr << downloadFailureText(outcome, path) << '\n';
        }
        std::cout << (ok ? "OK" : "FAIL") << '\n';
        return ok ? exitOk : exitFailed;
    });
}

int run(const Arguments& args) {
    Arguments rest = args;
    const bool reconnect = takeReconnect(rest);
    auto parsed = options(rest, 2, "run [LINE] [--no-monitor] [--no-reconnect] [--port N]");
    if (!parsed) {
        return exitUsage;
    }
    bool monitorAfter = true;
    std::optional<uint32_t> line = 0;
    for (const std::string& arg : parsed->rest) {
        if (arg == "--no-monitor") {
            monitorAfter = false;
        } else if (!(line = parseLineNumber(arg))) {
            std::cerr
                << "pkivo-cli: the line must be a whole number from 0 to " << largestLine
                << "\nusage: pkivo-cli run [LINE] [--no-monitor] [--no-reconnect] [--port N]\n";
            return exitUsage;
        }
    }
    return withKeptLink(*parsed, reconnect, [&](Link& link, LineKeeper& keeper) {
        int status = runCommand(link, packet::runProgram(*line));
        return monitorAfter ? std::max(status, listen(link, keeper)) : status;
    });
}

int pause(const Arguments& args) {
    auto parsed = options(args, 0, "pause [--port N]");
    return parsed ? withLink(*parsed,
                             [](Link& link, const SettingsRecord&) {
                                 return runCommand(link, packet::pauseProgram());
                             })
                  : exitUsage;
}

int stop(const Arguments& args) {
    auto parsed = options(args, 0, "stop [--port N]");
    return parsed ? withLink(*parsed,
                             [](Link& link, const SettingsRecord&) {
                                 return runCommand(link, packet::stopProgram());
                             })
                  : exitUsage;
}

int monitor(const Arguments& args) {
    Arguments rest = args;
    const bool reconnect = takeReconnect(rest);
    auto parsed = options(rest, 0, "monitor [--no-reconnect] [--port N]");
    return parsed
               ? withKeptLink(*parsed, reconnect,
                              [](Link& link, LineKeeper& keeper) { return listen(link, keeper); })
               : exitUsage;
}

} // namespace pkivo::cli
