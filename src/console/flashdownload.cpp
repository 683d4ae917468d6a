#include "console/flashdownload.h"

#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/textfile.h"

#include <vector>

namespace pkivo {

namespace {

constexpr size_t pageTextLength = 5;
// Enough of a refused page's reply to tell one refusal from another.
constexpr size_t shownReplyLength = 20;

// Why a page whose exchange ended without a reply was not written.
std::string exchangeFailure(const LinkGlobals& g) {
    if (g.errcode.empty() || g.errcode == result::ok) {
        return "the controller did not answer in time";
    }
    return result::statusLine(g.errcode, g.errtext);
}

} // namespace

DownloadOutcome downloadFlashFile(Link& link, const std::string& path, DownloadObserver& observer) {
    link.globals().timedout = false;
    TextReader file;
    if (!file.open(path)) {
        return {DownloadResult::FileUnreadable, {}, {}};
    }
    std::vector<std::string> lines;
    while (!file.atEndOfStream()) {
        lines.push_back(file.readLine());
    }
    // An empty file sends nothing; the reply of some earlier exchange must not pass for
    // the controller's confirmation.
    if (lines.empty()) {
        return {DownloadResult::FileEmpty, {}, {}};
    }
    return downloadPageLines(link, lines, observer);
}

DownloadOutcome downloadPageLines(Link& link, const std::vector<std::string>& lines,
                                  DownloadObserver& observer) {
    LinkGlobals& g = link.globals();
    g.timedout = false;
    const int total = int(lines.size());
    for (int index = 0; index < total; ++index) {
        const std::string& line = lines[size_t(index)];
        const std::string pageText = line.substr(0, pageTextLength);
        observer.pageStarted(pageText, index, total);
        if (!link.request(
                [&line](LinkGlobals& globals) {
                    globals.packdata = line;
                    globals.packet.clear();
                },
                &Link::flashwait)) {
            g.timedout = true;
            return {DownloadResult::Failed, pageText, result::statusLine(result::linkBusy)};
        }
        if (g.timedout || g.errcode != result::ok) {
            g.timedout = true;
            return {DownloadResult::Failed, pageText, exchangeFailure(g)};
        }
        // Every page must be confirmed, not just the last: a refused page in the middle is a
        // program with a hole in it.
        if (!packet::isPageWritten(g.packet)) {
            g.timedout = true;
            return {DownloadResult::Failed, pageText,
                    "the controller answered \"" + g.packet.substr(0, shownReplyLength) + "\""};
        }
        if (index + 1 < total && observer.cancelRequested()) {
            return {DownloadResult::Cancelled, {}, {}};
        }
    }
    return {};
}

std::string downloadFailureText(const DownloadOutcome& outcome, const std::string& path) {
    switch (outcome.result) {
    case DownloadResult::FileUnreadable:
        return "Canot open flash data file " + path + ": convert a script first.";
    case DownloadResult::FileEmpty:
        return "The flash data file " + path + " holds no page: nothing was written.";
    case DownloadResult::Ok:
        return {};
    case DownloadResult::Cancelled:
        return "Cancelled: the pages before were written.";
    case DownloadResult::Failed:
        break;
    }
    std::string text(writeErrorText);
    if (!outcome.page.empty()) {
        text += "\nPage " + outcome.page + " was not written: " + outcome.reason + ".";
    }
    return text;
}

} // namespace pkivo
