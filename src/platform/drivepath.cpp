#include "platform/drivepath.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pkivo {

namespace {

bool startsWithDriveC(const std::string& path) {
    return path.size() >= 3 && (path[0] == 'c' || path[0] == 'C') && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The name of the entry of `folder` that matches `component` regardless of case, preferring
// an exact match; `component` itself when nothing matches.
std::string existingSpelling(const std::filesystem::path& folder, const std::string& component) {
    std::error_code error;
    if (std::filesystem::exists(folder / component, error)) {
        return component;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (equalsIgnoringCase(name, component)) {
            return name;
        }
    }
    return component;
}

} // namespace

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    return (home && *home) ? std::string(home) : std::string("/");
}

std::string mapDrivePath(const std::string& path) {
    if (!startsWithDriveC(path)) {
        return path;
    }
    std::filesystem::path mapped = homeDirectory();
    bool matching = true;
    std::string rest = path.substr(3);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('/', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        std::string component = rest.substr(start, end - start);
        if (!component.empty()) {
            std::string spelled = matching ? existingSpelling(mapped, component) : component;
            mapped /= spelled;
            std::error_code error;
            matching = std::filesystem::exists(mapped, error);
        }
        start = end + 1;
    }
    return mapped.string();
}

} // namespace pkivo
