// A flash file's lines as a user may have edited them: the page line check passes exactly the
// lines the download may send, and the page listing and range boxes take any text.
#include "fuzz/targets.h"

#include "console/flashtools.h"
#include "core/pageline.h"

#include <string>
#include <string_view>

namespace pkivo::fuzz {

namespace {

bool isUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void checkLine(std::string_view line) {
    if (pageLineFault(line)) {
        return;
    }
    require(line.size() == pageline::length, "a page line is 533 characters");
    int page = 0;
    for (char c : line.substr(0, pageline::numberDigits)) {
        require(c >= '0' && c <= '9', "a page line starts with five decimal digits");
        page = page * 10 + (c - '0');
    }
    require(page <= lastFlashPage, "a page line names page 0 to 2047");
    for (char c : line.substr(pageline::numberDigits)) {
        require(isUpperHex(c), "a page line's digits are upper-case hex digits");
    }
}

} // namespace

void fuzzFlashLine(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkLine(text);
    // Lines end at CR LF, LF or CR, as the flash file is read.
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        checkLine(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }

    const std::string listed = pageAsLines(text);
    require(listed.size() <= 32 * (32 + 2), "a listed page is 32 lines of at most 32");

    const size_t split = std::min(text.find('\0'), text.size());
    const RangeCheck check =
        checkPageRange(text.substr(0, split), text.substr(std::min(split + 1, text.size())));
    if (check.range) {
        require(check.range->first >= 0 && check.range->first <= check.range->last &&
                    check.range->last <= lastFlashPage,
                "an accepted range lies within 0 to 2047, first before last");
    }
}

} // namespace pkivo::fuzz
