#include "cli/speedcommands.h"

#include "cli/linksession.h"
#include "console/speedaccess.h"

#include <iostream>
#include <optional>

namespace pkivo::cli {

namespace {

const char* const usage = "usage: pkivo-cli speed get LOC [--port N]\n"
                          "       pkivo-cli speed put LOC S1..S8 C1..C8 [--port N]\n";

int refuse(const std::string& why) {
    return refuseArgument("speed", why, usage);
}

// The entry on two lines (speeds, then control values), then the status line.
int report(const SpeedResult& result) {
    if (result.entry) {
        for (const auto* values : {&result.entry->speeds, &result.entry->controls}) {
            const char* gap = "";
            for (const std::string& value : *values) {
                std::cout << gap << value;
                gap = " ";
            }
            std::cout << '\n';
        }
    }
    std::cout << result.status << '\n' << std::flush;
    return result.ok ? exitOk : exitFailed;
}

} // namespace

int speed(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options) {
        std::cerr << usage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    const bool getting = rest.size() == 2 && rest[0] == "get";
    const bool putting = rest.size() == 18 && rest[0] == "put";
    if (!getting && !putting) {
        std::cerr << usage;
        return exitUsage;
    }
    const std::optional<uint32_t> location = speedLocation(rest[1]);
    if (!location) {
        return refuse("LOC must be a number from 32000 to 32255, not '" + rest[1] + "'");
    }
    if (getting) {
        return withLink(*options, [&](Link& link, const SettingsRecord&) {
            return report(readSpeedEntry(link, *location));
        });
    }
    std::array<std::string, 8> speeds;
    std::array<std::string, 8> controls;
    for (size_t i = 0; i < 16; ++i) {
        const std::optional<std::string> value = speedValue(rest[2 + i]);
        if (!value) {
            return refuse("each value must be a number from 0 to 999, not '" + rest[2 + i] + "'");
        }
        (i < 8 ? speeds[i] : controls[i - 8]) = *value;
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        return report(writeSpeedEntry(link, *location, speeds, controls));
    });
}

} // namespace pkivo::cli
