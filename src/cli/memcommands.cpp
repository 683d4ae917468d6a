#include "cli/memcommands.h"

#include "cli/linksession.h"
#include "console/memoryaccess.h"
#include "core/bytevalues.h"
#include "core/numbertext.h"

#include <functional>
#include <iostream>
#include <optional>
#include <vector>

namespace pkivo::cli {

namespace {

const char* const usage = "usage: pkivo-cli mem read ram|eeprom ADDR [COUNT] [--port N]\n"
                          "       pkivo-cli mem write ram|eeprom ADDR BYTE... [--port N]\n";

int refuse(const std::string& why) {
    return refuseArgument("mem", why, usage);
}

std::optional<MemoryArea> areaNamed(const std::string& name) {
    if (name == "ram") {
        return MemoryArea::Ram;
    }
    if (name == "eeprom") {
        return MemoryArea::Eeprom;
    }
    return std::nullopt;
}

// One line per byte: the address and the byte, both in decimal, then the byte in hex.
void printByte(uint32_t address, uint8_t byte) {
    std::cout << address << ' ' << unsigned(byte) << ' ' << bytevalue::hexText(byte) << '\n';
}

// Runs `each` for every address from `first` on until one fails; prints the last status line.
int everyByte(Link& link, uint32_t first, size_t count,
              const std::function<MemoryResult(Link&, uint16_t, size_t)>& each) {
    MemoryResult result;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t address = first + uint32_t(i);
        result = each(link, uint16_t(address), i);
        if (!result.ok()) {
            break;
        }
        printByte(address, *result.byte);
    }
    std::cout << result.status << '\n' << std::flush;
    return result.ok() ? exitOk : exitFailed;
}

} // namespace

int mem(const Arguments& args) {
    std::optional<LinkOptions> options = parseOptions(args);
    if (!options) {
        std::cerr << usage;
        return exitUsage;
    }
    const Arguments& rest = options->rest;
    if (rest.size() < 3 || (rest[0] != "read" && rest[0] != "write")) {
        std::cerr << usage;
        return exitUsage;
    }
    const bool reading = rest[0] == "read";
    const std::optional<MemoryArea> area = areaNamed(rest[1]);
    if (!area) {
        return refuse("the area is ram or eeprom, not '" + rest[1] + "'");
    }
    const std::optional<uint16_t> address = bytevalue::addressBox(rest[2]);
    if (!address) {
        return refuse("the address must be a number from 0 to 65535, not '" + rest[2] + "'");
    }
    const uint32_t room = bytevalue::largestAddress + 1 - *address;
    if (reading) {
        if (rest.size() > 4) {
            std::cerr << usage;
            return exitUsage;
        }
        const std::optional<uint64_t> count =
            rest.size() == 4 ? wholeNumber(rest[3], room) : std::optional<uint64_t>(1);
        if (!count || *count == 0) {
            return refuse("COUNT must be a number from 1 to " + std::to_string(room));
        }
        return withLink(*options, [&](Link& link, const SettingsRecord&) {
            return everyByte(link, *address, size_t(*count), [&](Link& l, uint16_t at, size_t) {
                return readMemory(l, *area, at);
            });
        });
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 3; i < rest.size(); ++i) {
        const std::optional<uint8_t> byte = bytevalue::byteBox(rest[i]);
        if (!byte) {
            return refuse("each byte must be a number from 0 to 255, not '" + rest[i] + "'");
        }
        bytes.push_back(*byte);
    }
    if (bytes.size() > room) {
        return refuse("the bytes run past address 65535");
    }
    return withLink(*options, [&](Link& link, const SettingsRecord&) {
        return everyByte(link, *address, bytes.size(), [&](Link& l, uint16_t at, size_t i) {
            return writeMemory(l, *area, at, bytes[i]);
        });
    });
}

} // namespace pkivo::cli
