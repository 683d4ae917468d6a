// "Write to Flash": sends the temporary flash data file to the controller, one page line per
// exchange, and checks that the controller confirmed every page.
#pragma once

#include <string>
#include <vector>

namespace pkivo {

class Link;

inline constexpr const char* writeErrorText = "Error writing controller";

// Follows a download page by page.
class DownloadObserver {
public:
    virtual ~DownloadObserver() = default;
    // Page `index` (from 0) of `total` is about to go; `pageText` is its first five characters.
    virtual void pageStarted(const std::string& pageText, int index, int total) = 0;
    // Asked once a page is written and confirmed: true stops before the next page.
    virtual bool cancelRequested() { return false; }
};

enum class DownloadResult {
    Ok,             // every page went and the controller confirmed each one with "OV0OK"
    Failed,         // a page found no controller, no reply came, or the reply was not "OV0OK"
    FileUnreadable, // the flash data file is missing or cannot be read: nothing was sent
    FileEmpty,      // the flash data file holds no page: nothing was sent
    Cancelled,      // the observer asked to stop; the pages before were written and confirmed
};

struct DownloadOutcome {
    DownloadResult result = DownloadResult::Ok;
    // For Failed: the first five characters of the page that was not written, and why.
    std::string page;
    std::string reason;
};

// Sends every line of the file at `path` through flashwait, in file order, and stops at the
// first page that is not confirmed. Pages written before it stay written.
DownloadOutcome downloadFlashFile(Link& link, const std::string& path, DownloadObserver& observer);

// The same for page lines already read (and checked by the caller): each is sent as it is.
DownloadOutcome downloadPageLines(Link& link, const std::vector<std::string>& lines,
                                  DownloadObserver& observer);

// The message a failed download shows: "Error writing controller" and the page it stopped at.
std::string downloadFailureText(const DownloadOutcome& outcome, const std::string& path);

} // namespace pkivo
