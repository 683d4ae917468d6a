#include "console/linenumber.h"

namespace pkivo {

std::optional<uint32_t> parseLineNumber(const std::string& text) {
    size_t start = text.find_first_not_of(' ');
    size_t end = text.find_last_not_of(' ');
    if (start == std::string::npos) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (size_t i = start; i <= end; ++i) {
        char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + uint64_t(c - '0');
        if (value > largestLine) {
            return std::nullopt;
        }
    }
    return uint32_t(value);
}

} // namespace pkivo
