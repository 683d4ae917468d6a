#include "console/linenumber.h"

#include "core/numbertext.h"

namespace pkivo {

std::optional<uint32_t> parseLineNumber(const std::string& text) {
    if (std::optional<uint64_t> line = wholeNumber(text, largestLine)) {
        return uint32_t(*line);
    }
    return std::nullopt;
}

} // namespace pkivo
