#include "cli/poscommands.h"

#include "cli/linksession.h"
#include "console/positions.h"
#include "core/numbertext.h"

#include <array>
#include <iostream>
#include <optional>

namespace pkivo::cli {

namespace {

const char* const positionUsage = "usage: pkivo-cli position get LINE [--port N]\n"
                                  "       pkivo-cli position put LINE V1..V8 [--port N]\n"
                                  "       pkivo-cli position current [--port N]\n"
                                  "       pkivo-cli position move LINE [--port N]\n";
const char* const jogUsage = "usage: pkivo-cli jog SERVO +N|-N [--port N]\n";
const char* const outputUsage = "usage: pkivo-cli output N on|off [--port N]\n";

// The line Get Current sends when none is given: the window's default.
constexpr uint32_t defaultLine = 10000;

int finish(const PositionExchange& done) {
    std::cout << done.status << '\n' << std::flush;
    return done.ok ? exitOk : exitFailed;
}

template <class T> void printSet(const std::array<T, 8>& positions) {
    for (size_t k = 0; k < positions.size(); ++k) {
        std::cout << (k == 0 ? "" : " ") << positions[k];
    }
    std::cout << '\n';
}

// Get, then the move only when the set it uses was shown.
int moveTo(Link& link, uint32_t line) {
    const StoredSet set = readStoredSet(link, line);
    if (!set.ok) {
        std::cout << "not moved: " << set.status << '\n' << std::flush;
        return exitFailed;
    }
    printSet(set.positions);
    return finish(moveToSet(link, line));
}

// N steps; three failed steps in a row end the jog, as in the window.
int jogSteps(Link& link, int servo, bool up, uint64_t steps) {
    JogStep last;
    int failures = 0;
    for (uint64_t i = 0; i < steps && failures < jogFailureLimit; ++i) {
        last = jogOnce(link, up, 1, servo);
        failures = last.ok ? 0 : failures + 1;
        if (last.ok) {
            std::cout << last.position << '\n';
        }
    }
    return finish(last);
}

} // namespace

int position(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || options->rest.empty()) {
        std::cerr << positionUsage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    const std::string& what = rest[0];
    if (what == "current" && rest.size() == 1) {
        return withLink(*options, [](Link& link, const SettingsRecord&) {
            const CurrentSet set = readCurrentSet(link, defaultLine);
            if (set.ok) {
                printSet(set.positions);
            }
            return finish(set);
        });
    }
    const bool put = what == "put";
    if ((what != "get" && what != "move" && !put) || rest.size() != (put ? 10U : 2U)) {
        std::cerr << positionUsage;
        return exitUsage;
    }
    const std::optional<uint32_t> line = positionLineBox(rest[1]);
    if (!line) {
        return refuseArgument("position", "LINE must be a number from 0 to 32000", positionUsage);
    }
    std::array<uint16_t, 8> positions{};
    for (size_t k = 0; put && k < positions.size(); ++k) {
        const std::optional<uint16_t> value = positionBox(rest[2 + k]);
        if (!value) {
            return refuseArgument(
                "position",
                "each position must be a number from 0 to 65535 (65535 leaves the "
                "servo alone), not '" +
                    rest[2 + k] + "'",
                positionUsage);
        }
        positions[k] = *value;
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        if (put) {
            return finish(storeSet(link, *line, positions));
        }
        if (what == "move") {
            return moveTo(link, *line);
        }
        const StoredSet set = readStoredSet(link, *line);
        if (set.ok) {
            printSet(set.positions);
        }
        return finish(set);
    });
}

int jog(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || options->rest.size() != 2) {
        std::cerr << jogUsage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    const std::optional<uint64_t> servo = wholeNumber(rest[0], 8);
    if (!servo || *servo == 0) {
        return refuseArgument("jog", "SERVO must be a number from 1 to 8", jogUsage);
    }
    const std::string& steps = rest[1];
    const std::optional<uint64_t> count =
        steps.size() > 1 ? digitsValue(steps.substr(1), largestPosition) : std::nullopt;
    if ((steps[0] != '+' && steps[0] != '-') || !count || *count == 0) {
        return refuseArgument("jog", "the steps are +N or -N, N from 1 to 65535", jogUsage);
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        return jogSteps(link, int(*servo), steps[0] == '+', *count);
    });
}

int output(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options || options->rest.size() != 2) {
        std::cerr << outputUsage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    const std::optional<uint8_t> number = outputBox(rest[0]);
    if (!number) {
        return refuseArgument("output", "N must be a number from 0 to 255", outputUsage);
    }
    if (rest[1] != "on" && rest[1] != "off") {
        return refuseArgument("output", "the state is on or off", outputUsage);
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        return finish(switchOutput(link, *number, rest[1] == "on"));
    });
}

} // namespace pkivo::cli
