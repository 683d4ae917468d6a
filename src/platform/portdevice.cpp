#include "platform/portdevice.h"

#include "platform/drivepath.h"

#include <filesystem>
#include <system_error>

namespace pkivo {

namespace {

struct DefaultRange {
    int first;
    int last;
    const char* prefix;
};

constexpr DefaultRange defaultDevices[] = {
    {1, 32, "/dev/ttyS"},
    {33, 48, "/dev/ttyUSB"},
    {49, 56, "/dev/ttyACM"},
};

} // namespace

std::string portLinkFolder() {
    return homeDirectory() + "/.config/pkivo/dosdevices";
}

bool hasPortLink(int number) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path link = fs::path(portLinkFolder()) / ("com" + std::to_string(number));
    return number >= 1 && fs::exists(fs::symlink_status(link, error));
}

std::string portDevicePath(int number) {
    if (number < 1) {
        return {};
    }
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path link = fs::path(portLinkFolder()) / ("com" + std::to_string(number));
    if (fs::is_symlink(fs::symlink_status(link, error)) || fs::exists(link, error)) {
        fs::path target = fs::canonical(link, error);
        return error ? link.string() : target.string();
    }
    for (const DefaultRange& range : defaultDevices) {
        if (number >= range.first && number <= range.last) {
            return range.prefix + std::to_string(number - range.first);
        }
    }
    return {};
}

} // namespace pkivo
