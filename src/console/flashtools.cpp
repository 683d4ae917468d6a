#include "console/flashtools.h"

#include "console/flashdownload.h"
#include "core/numbertext.h"
#include "core/pageline.h"
#include "core/textfield.h"
#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/textfile.h"

#include <algorithm>
#include <vector>

namespace pkivo {

namespace {

constexpr size_t listedLines = 32;
// The new file a range read fills, beside the one it replaces.
constexpr const char* newFileSuffix = ".new";

bool isUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool isPageDigits(std::string_view digits) {
    return digits.size() == pageline::pageDigits &&
           std::all_of(digits.begin(), digits.end(), isUpperHexDigit);
}

// Hands the download's page steps on to the flash tools' observer.
class WriteProgress : public DownloadObserver {
public:
    WriteProgress(FlashToolsObserver& observer, const std::vector<std::string>& lines)
        : m_observer(observer), m_lines(lines) {}
    void pageStarted(const std::string& pageText, int index, int total) override {
        m_observer.pageDigits(m_lines[size_t(index)].substr(pageline::numberDigits));
        m_observer.pageStarted(pageText, index, total);
    }
    bool cancelRequested() override { return m_observer.cancelRequested(); }

private:
    FlashToolsObserver& m_observer;
    const std::vector<std::string>& m_lines;
};

} // namespace

std::string pageAsLines(std::string_view page) {
    std::string text;
    for (size_t i = 0; i < listedLines; ++i) {
        const size_t from = std::min(i * pageline::recordDigits, page.size());
        text += page.substr(from, pageline::recordDigits);
        text += "\r\n";
    }
    return text;
}

RangeCheck checkPageRange(std::string_view start, std::string_view end) {
    RangeCheck check;
    const std::optional<uint64_t> first = wholeNumber(start, lastFlashPage);
    const std::optional<uint64_t> last = wholeNumber(end, lastFlashPage);
    check.startRefused = !first;
    check.endRefused = !last;
    if (!first || !last) {
        check.reason = "Pages are numbered 0 to 2047";
    } else if (*last < *first) {
        check.endRefused = true;
        check.reason = "The end address is below the start address";
    } else {
        check.range = PageRange{int(*first), int(*last)};
    }
    return check;
}

std::optional<std::string> pageLineFault(std::string_view line) {
    const std::optional<uint64_t> page =
        digitsValue(line.substr(0, pageline::numberDigits), lastFlashPage);
    if (line.size() < pageline::numberDigits || !page) {
        return "it does not start with a page number 00000 to 02047";
    }
    if (!isPageDigits(line.substr(pageline::numberDigits))) {
        return "the page number is not followed by exactly 528 hexadecimal digits (0-9, A-F)";
    }
    return std::nullopt;
}

PageRead readPage(Link& link, std::string_view pageText) {
    const LinkGlobals& g = link.globals();
    const std::string request = packet::readFlashPage(pageText);
    if (!link.request(request, &Link::binreceiver)) {
        return {std::nullopt, result::statusLine(result::linkBusy)};
    }
    // A failed read leaves the page before in packdata: it must not pass for this one.
    if (g.errcode != result::ok) {
        return {std::nullopt, result::statusLine(g.errcode, g.errtext)};
    }
    return {g.packdata, {}};
}

FlashOutcome readPagesIntoFile(Link& link, PageRange range, const std::string& path,
                               FlashToolsObserver& observer) {
    const std::string newPath = path + newFileSuffix;
    TextWriter file;
    if (!file.create(newPath)) {
        return {FlashResult::Failed, "Canot create the file " + newPath + ": nothing was read."};
    }
    const auto abandon = [&file, &newPath](FlashOutcome outcome) {
        file.close();
        deleteFile(newPath);
        return outcome;
    };
    const int total = range.count();
    for (int index = 0; index < total; ++index) {
        const int page = range.first + index;
        const std::string pageText = decimalDigits(uint64_t(page), pageline::numberDigits);
        observer.pageStarted(std::to_string(page), index, total);
        PageRead read = readPage(link, pageText);
        // A page that came garbled is a failed read too: its characters never reach the file.
        if (read.digits && !isPageDigits(*read.digits)) {
            read = {std::nullopt, "the controller sent no 528 hexadecimal digits"};
        }
        if (!read.digits) {
            return abandon({FlashResult::Failed, "Page " + pageText + " could not be read: " +
                                                     read.error + ". " + path + " is unchanged."});
        }
        observer.pageDigits(*read.digits);
        file.writeLine(pageText + *read.digits);
        if (index + 1 < total && observer.cancelRequested()) {
            return abandon({FlashResult::Cancelled,
                            "Cancelled after page " + pageText + ": " + path + " is unchanged."});
        }
    }
    if (!file.close() || !replaceFile(newPath, path)) {
        deleteFile(newPath);
        return {FlashResult::Failed, "Canot write the file " + path + ": it is unchanged."};
    }
    return {};
}

FlashOutcome writeFileIntoFlash(Link& link, const std::string& path, FlashToolsObserver& observer) {
    TextReader file;
    if (!file.open(path)) {
        return {FlashResult::Failed,
                "Canot open the flash file " + path + ": nothing was written."};
    }
    std::vector<std::string> lines;
    while (!file.atEndOfStream()) {
        lines.push_back(file.readLine());
        if (const std::optional<std::string> fault = pageLineFault(lines.back())) {
            return {FlashResult::Failed, "Line " + std::to_string(lines.size()) + " of " + path +
                                             " is no page line: " + *fault +
                                             ". Nothing was written."};
        }
    }
    if (lines.empty()) {
        return {FlashResult::Failed,
                "The flash file " + path + " holds no page: nothing was written."};
    }
    WriteProgress progress(observer, lines);
    const DownloadOutcome outcome = downloadPageLines(link, lines, progress);
    switch (outcome.result) {
    case DownloadResult::Ok:
        return {};
    case DownloadResult::Cancelled:
        return {FlashResult::Cancelled, downloadFailureText(outcome, path)};
    default:
        return {FlashResult::Failed, downloadFailureText(outcome, path)};
    }
}

bool eraseFlash(Link& link) {
    const LinkGlobals& g = link.globals();
    return link.request(packet::eraseFlash(), &Link::rawsender) && g.errcode == result::ok &&
           packet::isValidLongReply(g.packet);
}

} // namespace pkivo
