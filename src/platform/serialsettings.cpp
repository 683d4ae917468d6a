#include "platform/serialsettings.h"

#include "core/numbertext.h"

#include <cctype>
#include <sstream>
#include <string_view>
#include <vector>

namespace pkivo {

namespace {

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == ',') {
        parts.emplace_back();
    }
    return parts;
}

} // namespace

std::optional<SerialSettings> parseSerialSettings(const std::string& text) {
    std::vector<std::string> parts = splitCommas(text);
    if (parts.size() != 4) {
        return std::nullopt;
    }
    SerialSettings settings;
    std::optional<uint64_t> baud = digitsValue(parts[0], 4'000'000);
    std::optional<uint64_t> bits = digitsValue(parts[2], 8);
    if (!baud || *baud < 50 || !bits || *bits < 5 || parts[1].size() != 1) {
        return std::nullopt;
    }
    char parity = char(std::tolower(static_cast<unsigned char>(parts[1][0])));
    if (std::string_view("neoms").find(parity) == std::string_view::npos) {
        return std::nullopt;
    }
    if (parts[3] == "1") {
        settings.stopBits = 1;
    } else if (parts[3] == "1.5") {
        settings.stopBits = 3;
    } else if (parts[3] == "2") {
        settings.stopBits = 2;
    } else {
        return std::nullopt;
    }
    settings.baud = int(*baud);
    settings.parity = parity;
    settings.dataBits = int(*bits);
    return settings;
}

} // namespace pkivo
