// The flash tools: one page read raw or listed as lines, a range of pages read into a flash
// file, a flash file written into the controller page by page, and the erase of the whole
// flash memory. The "Flash memory utility" window and pkivo-cli's flash commands share them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

class Link;

inline constexpr const char* flashToolsFile = "c:\\tolvane\\flashda.fla";
inline constexpr int lastFlashPage = 2047;
inline constexpr const char* addressOutOfRange = "ADDRESS OUT OF RANGE";
inline constexpr const char* eraseQuestion =
    "Erase Flash Memory erases the entire flash device: the whole program, the stored positions "
    "and the speeds are destroyed. Erase it?";

// A page of flash as 32 lines of 32 characters, each ended by CR LF: the 16 records, the 16
// further digits, then empty lines.
std::string pageAsLines(std::string_view page);

struct PageRange {
    int first = 0;
    int last = 0;
    int count() const { return last - first + 1; }
};

// The start and end address boxes, checked before anything is read or any file touched.
struct RangeCheck {
    std::optional<PageRange> range; // when both boxes are accepted
    bool startRefused = false;
    bool endRefused = false;
    std::string reason; // why, short enough for a label beside the boxes
};
RangeCheck checkPageRange(std::string_view start, std::string_view end);

// Why `line` is no page line (five decimal digits naming page 0-2047, then 528 upper-case hex
// digits and nothing more); nothing when it is one.
std::optional<std::string> pageLineFault(std::string_view line);

// Follows a range read or a file write page by page.
class FlashToolsObserver {
public:
    virtual ~FlashToolsObserver() = default;
    // Page `pageText` (index from 0 of `total`) is about to go on the wire.
    virtual void pageStarted(const std::string& pageText, int index, int total) = 0;
    // The page's 528 digits: as read, or as about to be written.
    virtual void pageDigits(const std::string& digits) = 0;
    // Asked after each page: true stops before the next one.
    virtual bool cancelRequested() { return false; }
};

enum class FlashResult {
    Ok,
    Cancelled, // stopped between pages as asked
    Failed,    // nothing (more) was done; `message` says why
};

struct FlashOutcome {
    FlashResult result = FlashResult::Ok;
    std::string message; // for Failed and Cancelled
};

// One page read with R14 through binreceiver: the page as typed ("00000" put in front,
// rightmost five). `digits` is what came (packdata, unchanged); nothing, and `error` saying
// why, when the exchange failed or was refused.
struct PageRead {
    std::optional<std::string> digits;
    std::string error;
};
PageRead readPage(Link& link, std::string_view pageText);

// Pages `range` read into `path`. The pages go into a new file beside it, which replaces `path`
// only when every page was read: a failure or a cancel leaves `path` as it was. The first page
// that does not come stops the read with a message naming it and the error.
FlashOutcome readPagesIntoFile(Link& link, PageRange range, const std::string& path,
                               FlashToolsObserver& observer);

// Every page line of `path` written into flash. The whole file is checked first: a missing
// file, an empty one or a line that is no page line (named by its number) sends nothing. Then
// the lines go as the download sends them, each page confirmed with "OV0OK".
FlashOutcome writeFileIntoFlash(Link& link, const std::string& path, FlashToolsObserver& observer);

// R17 through rawsender; the reply stays in packet. False when no framed reply came.
bool eraseFlash(Link& link);

} // namespace pkivo
