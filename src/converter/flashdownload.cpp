#include "converter/flashdownload.h"

#include "link/link.h"
#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/textfile.h"

#include <vector>

namespace pkivo {

namespace {

constexpr size_t pageTextLength = 5;

// The link refused the exchange outright (another exchange on the wire, or no port): going on
// would only run through the rest of the file without sending anything.
bool exchangeRefused(const LinkGlobals& g) {
    return g.errcode == result::linkBusy || g.errcode == result::portNotOpen;
}

} // namespace

DownloadResult downloadFlashFile(Link& link, const std::string& path, DownloadObserver& observer) {
    LinkGlobals& g = link.globals();
    g.timedout = false;
    TextReader file;
    if (!file.open(path)) {
        return DownloadResult::FileUnreadable;
    }
    std::vector<std::string> lines;
    while (!file.atEndOfStream()) {
        lines.push_back(file.readLine());
    }
    // An empty file sends nothing; the reply of some earlier exchange must not pass for
    // the controller's confirmation.
    if (lines.empty()) {
        return DownloadResult::FileEmpty;
    }
    const int total = int(lines.size());
    for (int index = 0; index < total; ++index) {
        g.packdata = lines[size_t(index)];
        g.packet.clear();
        observer.pageStarted(lines[size_t(index)].substr(0, pageTextLength), index, total);
        link.flashwait();
        if (g.timedout || exchangeRefused(g)) {
            g.timedout = true;
            return DownloadResult::Failed;
        }
    }
    if (packet::isPageWritten(g.packet)) {
        return DownloadResult::Ok;
    }
    g.timedout = true;
    return DownloadResult::Failed;
}

std::string downloadFailureText(DownloadResult result, const std::string& path) {
    switch (result) {
    case DownloadResult::FileUnreadable:
        return "Canot open flash data file " + path + ": convert a script first.";
    case DownloadResult::FileEmpty:
        return "The flash data file " + path + " holds no page: nothing was written.";
    case DownloadResult::Ok:
        return {};
    case DownloadResult::Failed:
        break;
    }
    return writeErrorText;
}

} // namespace pkivo
