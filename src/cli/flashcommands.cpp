#include "cli/flashcommands.h"

#include "cli/linksession.h"
#include "cli/stderrui.h"
#include "console/flashtools.h"
#include "link/link.h"
#include "link/resultcodes.h"

#include <algorithm>
#include <iostream>

namespace pkivo::cli {

namespace {

class PrintingProgress : public FlashToolsObserver {
public:
    void pageStarted(const std::string& pageText, int index, int total) override {
        std::cout << pageText << "  (" << index + 1 << " of " << total << ")\n" << std::flush;
    }
    void pageDigits(const std::string&) override {}
};

int report(const FlashOutcome& outcome) {
    const bool ok = outcome.result == FlashResult::Ok;
    if (!ok) {
        std::cerr << outcome.message << '\n';
    }
    std::cout << (ok ? "OK" : "FAIL") << '\n';
    return ok ? exitOk : exitFailed;
}

std::optional<LinkOptions> options(const Arguments& args, size_t least, size_t most,
                                   const char* usage) {
    std::optional<LinkOptions> parsed = parseOptions(args);
    if (!parsed || parsed->rest.size() < least || parsed->rest.size() > most) {
        std::cerr << "usage: pkivo-cli " << usage << '\n';
        return std::nullopt;
    }
    return parsed;
}

} // namespace

int flashRead(const Arguments& args) {
    auto parsed = options(args, 2, 3, "flash-read START END [FILE] [--port N]");
    if (!parsed) {
        return exitUsage;
    }
    // The range is refused before the port opens or any file is touched.
    const RangeCheck check = checkPageRange(parsed->rest[0], parsed->rest[1]);
    if (!check.range) {
        std::cerr << addressOutOfRange << ": " << check.reason << '\n';
        return exitFailed;
    }
    const std::string path = parsed->rest.size() > 2 ? parsed->rest[2] : flashToolsFile;
    return withLink(*parsed, [&](Link& link, const SettingsRecord&) {
        PrintingProgress progress;
        return report(readPagesIntoFile(link, *check.range, path, progress));
    });
}

int flashWrite(const Arguments& args) {
    auto parsed = options(args, 0, 1, "flash-write [FILE] [--port N]");
    if (!parsed) {
        return exitUsage;
    }
    const std::string path = parsed->rest.empty() ? flashToolsFile : parsed->rest[0];
    return withLink(*parsed, [&](Link& link, const SettingsRecord&) {
        PrintingProgress progress;
        return report(writeFileIntoFlash(link, path, progress));
    });
}

int flashErase(const Arguments& args) {
    auto parsed = options(args, 0, 1, "flash-erase [--yes] [--port N]");
    if (!parsed) {
        return exitUsage;
    }
    Arguments& rest = parsed->rest;
    const auto yes = std::find(rest.begin(), rest.end(), "--yes");
    const bool confirmed = yes != rest.end();
    if (confirmed) {
        rest.erase(yes);
    }
    if (!rest.empty()) {
        std::cerr << "usage: pkivo-cli flash-erase [--yes] [--port N]\n";
        return exitUsage;
    }
    // Asked before the port opens: without a terminal to ask on, only --yes erases.
    StderrUi ui;
    if (!confirmed && !ui.question(eraseQuestion)) {
        std::cerr << "Not erased (pass --yes to erase without asking).\n";
        return exitFailed;
    }
    return withLink(*parsed, [](Link& link, const SettingsRecord&) {
        const bool erased = eraseFlash(link);
        const LinkGlobals& g = link.globals();
        std::cout << (erased ? g.packet : result::statusLine(g.errcode, g.errtext)) << '\n'
                  << (erased ? "OK" : "FAIL") << '\n';
        return erased ? exitOk : exitFailed;
    });
}

} // namespace pkivo::cli
