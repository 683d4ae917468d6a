#include "cli/paramscommands.h"

#include "cli/linksession.h"
#include "link/link.h"
#include "link/packets.h"
#include "link/parameterblock.h"
#include "link/replies.h"

#include <cctype>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace pkivo::cli {

namespace {

using reply::BoardParameters;
using reply::StorageMode;
using Change = std::function<void(BoardParameters&)>;

// One parameter under the window's label: how it prints, and the change a typed value makes
// (nothing when the value is refused).
struct Parameter {
    std::string label;
    std::function<std::string(const BoardParameters&)> shown;
    std::function<std::optional<Change>(const std::string&)> change;
    std::string alias = {}; // a short key besides the label's
};

// Labels and values compared by their letters and digits alone, in any case: "Report Rate",
// "report-rate" and "reportrate" are one key, "Common / Packed" and "commonpacked" one value.
std::string key(const std::string& text) {
    std::string k;
    for (unsigned char c : text) {
        if (std::isalnum(c)) {
            k += char(std::tolower(c));
        }
    }
    return k;
}

Parameter onOff(std::string label, bool BoardParameters::*field) {
    return {std::move(label), [field](const BoardParameters& p) { return p.*field ? "on" : "off"; },
            [field](const std::string& value) -> std::optional<Change> {
                if (key(value) != "on" && key(value) != "off") {
                    return std::nullopt;
                }
                const bool on = key(value) == "on";
                return [field, on](BoardParameters& p) { p.*field = on; };
            }};
}

template <class T>
Parameter number(std::string label, T BoardParameters::*field, uint32_t largest) {
    return {std::move(label),
            [field](const BoardParameters& p) { return std::to_string(p.*field); },
            [field, largest](const std::string& value) -> std::optional<Change> {
                const std::optional<uint32_t> typed = parameterValue(value, largest);
                if (!typed) {
                    return std::nullopt;
                }
                return [field, v = T(*typed)](BoardParameters& p) { p.*field = v; };
            }};
}

const char* storageName(StorageMode mode) {
    switch (mode) {
    case StorageMode::Seperate:
        return "Seperate";
    case StorageMode::Common:
        return "Common / Packed";
    case StorageMode::Other:
        break;
    }
    return "Other";
}

std::vector<Parameter> parameters() {
    std::vector<Parameter> table;
    for (size_t k = 0; k < 8; ++k) {
        table.push_back({"Servo" + std::to_string(k + 1),
                         [k](const BoardParameters& p) { return p.Servos1[k] ? "on" : "off"; },
                         [k](const std::string& value) -> std::optional<Change> {
                             if (key(value) != "on" && key(value) != "off") {
                                 return std::nullopt;
                             }
                             const bool on = key(value) == "on";
                             return [k, on](BoardParameters& p) { p.Servos1[k] = on; };
                         }});
    }
    table.push_back(onOff("Report", &BoardParameters::reporton));
    table.push_back(number("Report Rate", &BoardParameters::reportrate, maxReportRate));
    table.push_back(onOff("Use limit controls", &BoardParameters::uselimits));
    table.push_back(number("Minimum", &BoardParameters::minpulse, maxPulseWidth));
    table.push_back(number("Maximum", &BoardParameters::maxpulse, maxPulseWidth));
    table.push_back({"Program & Position Storage",
                     [](const BoardParameters& p) { return std::string(storageName(p.storage)); },
                     [](const std::string& value) -> std::optional<Change> {
                         for (StorageMode mode :
                              {StorageMode::Seperate, StorageMode::Common, StorageMode::Other}) {
                             if (key(value) == key(storageName(mode)) ||
                                 (mode == StorageMode::Common && key(value) == "common")) {
                                 return [mode](BoardParameters& p) { p.storage = mode; };
                             }
                         }
                         return std::nullopt;
                     },
                     "storage"});
    table.push_back(onOff("Run on Powerup", &BoardParameters::Runonpu));
    table.push_back(onOff("Push Button control", &BoardParameters::Runonpb));
    table.push_back(onOff("Hardware control", &BoardParameters::Runonhw));
    table.push_back(onOff("LCP (I/O 4) is Input", &BoardParameters::iocon1));
    return table;
}

const char* const usage =
    "usage: pkivo-cli params [--port N]\n"
    "       pkivo-cli params set KEY=VALUE... [--port N]\n"
    "keys are the window's labels (any case, spaces and signs optional): Servo1..Servo8, "
    "Report, Use limit controls, LCP (I/O 4) is Input, Run on Powerup, Push Button control, "
    "Hardware control (on|off); Report Rate (0-255); Minimum, Maximum (0-65535); "
    "Program & Position Storage or storage (Seperate|Common|Other)\n";

// The changes KEY=VALUE... ask for; nothing (after a message) when one is refused.
std::optional<std::vector<Change>> changesFrom(const Arguments& assignments) {
    const std::vector<Parameter> table = parameters();
    std::vector<Change> changes;
    for (const std::string& assignment : assignments) {
        const size_t equals = assignment.find('=');
        const std::string name = assignment.substr(0, equals);
        const Parameter* parameter = nullptr;
        for (const Parameter& p : table) {
            if (key(p.label) == key(name) || (!p.alias.empty() && p.alias == key(name))) {
                parameter = &p;
            }
        }
        if (equals == std::string::npos || parameter == nullptr) {
            std::cerr << "pkivo-cli: '" << assignment << "' names no board parameter\n" << usage;
            return std::nullopt;
        }
        std::optional<Change> change = parameter->change(assignment.substr(equals + 1));
        if (!change) {
            std::cerr << "pkivo-cli: '" << assignment << "': not a value for " << parameter->label
                      << "; nothing was sent\n"
                      << usage;
            return std::nullopt;
        }
        changes.push_back(std::move(*change));
    }
    return changes;
}

// Get: the block decoded, or nothing after printing why (code and text).
std::optional<BoardParameters> readBlock(Link& link) {
    const bool ran = link.request(
        [](LinkGlobals& g) { packet::startDocomax(packet::readParameters(), g); }, &Link::docomax);
    const reply::Outcome outcome = ran ? reply::longOutcome(link.globals()) : reply::Outcome{};
    reply::Decoded<BoardParameters> decoded = reply::boardParameters(link.globals().packet);
    if (!outcome.good || !decoded.ok()) {
        std::cout << outcome.text() << '\n' << std::flush;
        return std::nullopt;
    }
    return decoded.value;
}

int show(Link& link) {
    const std::optional<BoardParameters> read = readBlock(link);
    if (!read) {
        return exitFailed;
    }
    for (const Parameter& p : parameters()) {
        std::cout << p.label << ": " << p.shown(*read) << '\n';
    }
    std::cout << std::flush;
    return exitOk;
}

int store(Link& link, const std::vector<Change>& changes) {
    std::optional<BoardParameters> shown = readBlock(link);
    if (!shown) {
        return exitFailed;
    }
    for (const Change& change : changes) {
        change(*shown);
    }
    const std::string block = encodeBoardParameters(*shown).value_or(std::string());
    link.request(packet::storeParameters(block), &Link::rawsender);
    const reply::Outcome outcome = reply::longOutcome(link.globals());
    std::cout << (outcome.good ? link.globals().packet : std::string("Error - No Data Written"))
              << '\n'
              << outcome.text() << '\n'
              << std::flush;
    return outcome.good ? exitOk : exitFailed;
}

} // namespace

int params(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options) {
        std::cerr << usage;
        return exitUsage;
    }
    if (options->rest.empty()) {
        return withLink(*options, [](Link& link, const SettingsRecord&) { return show(link); });
    }
    if (options->rest.front() != "set" || options->rest.size() < 2) {
        std::cerr << usage;
        return exitUsage;
    }
    const std::optional<std::vector<Change>> changes =
        changesFrom(Arguments(options->rest.begin() + 1, options->rest.end()));
    if (!changes) {
        return exitUsage;
    }
    return withLink(*options,
                    [&](Link& link, const SettingsRecord&) { return store(link, *changes); });
}

} // namespace pkivo::cli
