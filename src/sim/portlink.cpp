#include "sim/portlink.h"

#include "platform/portdevice.h"

#include <filesystem>

namespace pkivo::sim {

namespace fs = std::filesystem;

std::string portLinkPath(int number) {
    return portLinkFolder() + "/com" + std::to_string(number);
}

namespace {
bool entryPresent(const fs::path& link) {
    std::error_code ec;
    return fs::symlink_status(link, ec).type() != fs::file_type::not_found;
}
bool stale(const fs::path& link) {
    std::error_code ec;
    return fs::is_symlink(link, ec) && !fs::exists(link, ec);
}
bool tryLink(const std::string& target, int number, std::string& error) {
    const fs::path link = portLinkPath(number);
    std::error_code ec;
    if (stale(link)) {
        fs::remove(link, ec);
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        error = "cannot link " + link.string() + ": " + ec.message();
        return false;
    }
    return true;
}
} // namespace

std::optional<int> linkPort(const std::string& target, std::optional<int> number,
                            std::string& error) {
    std::error_code ec;
    fs::create_directories(portLinkFolder(), ec);
    if (number) {
        const fs::path link = portLinkPath(*number);
        if (entryPresent(link) && !stale(link)) {
            error = link.string() + " is already in use";
            return std::nullopt;
        }
        return tryLink(target, *number, error) ? number : std::nullopt;
    }
    for (int n = 1; n <= highestPortNumber; ++n) {
        const fs::path link = portLinkPath(n);
        if ((!entryPresent(link) || stale(link)) && tryLink(target, n, error)) {
            return n;
        }
    }
    if (error.empty()) {
        error = "no free port number up to " + std::to_string(highestPortNumber);
    }
    return std::nullopt;
}

void unlinkPort(int number, const std::string& target) {
    const fs::path link = portLinkPath(number);
    std::error_code ec;
    if (fs::is_symlink(link, ec) && fs::read_symlink(link, ec) == fs::path(target)) {
        fs::remove(link, ec);
    }
}

} // namespace pkivo::sim
