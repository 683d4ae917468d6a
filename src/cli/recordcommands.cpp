#include "cli/recordcommands.h"

#include "cli/linksession.h"
#include "console/recordaccess.h"
#include "link/records.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <optional>

namespace pkivo::cli {

namespace {

int run(const Arguments& args, record::Kind kind) {
    const bool instruction = kind == record::Kind::Instruction;
    const std::string name = instruction ? "record" : "packed";
    const std::string hex = instruction ? "HEX32" : "HEX64";
    const std::string usage = "usage: pkivo-cli " + name + " get LINE [--port N]\n" +
                              "       pkivo-cli " + name + " put LINE " + hex + " [--port N]\n";
    auto refuse = [&](const std::string& why) { return refuseArgument(name, why, usage); };
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options) {
        std::cerr << usage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    const bool getting = !rest.empty() && rest[0] == "get" && rest.size() == 2;
    const bool putting = !rest.empty() && rest[0] == "put" && rest.size() == 3;
    if (!getting && !putting) {
        std::cerr << usage;
        return exitUsage;
    }
    const std::optional<uint32_t> line = record::lineValue(rest[1]);
    if (!line) {
        return refuse("the line must be a number from 0 to " + std::to_string(record::largestLine) +
                      ", not '" + rest[1] + "'");
    }
    std::string digits;
    if (putting) {
        digits = rest[2];
        if (!record::isRecordText(kind, digits)) {
            return refuse("the record must be exactly " + std::to_string(record::digitCount(kind)) +
                          " hex digits, not '" + digits + "'");
        }
        std::transform(digits.begin(), digits.end(), digits.begin(),
                       [](unsigned char c) { return char(std::toupper(c)); });
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        const RecordResult result =
            getting ? getRecord(link, kind, *line) : putRecord(link, kind, *line, digits);
        if (getting && result.ok()) {
            std::cout << *result.digits << '\n';
        }
        std::cout << result.status << '\n' << std::flush;
        return result.ok() ? exitOk : exitFailed;
    });
}

} // namespace

int record(const Arguments& args) {
    return run(args, record::Kind::Instruction);
}

int packed(const Arguments& args) {
    return run(args, record::Kind::Packed);
}

} // namespace pkivo::cli
