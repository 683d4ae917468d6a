// pkivo-cli setup: the settings fields as System Setup shows them, and changed as its Save
// changes them (each value with its field's fill text in front, the rightmost characters kept).
#include "cli/commands.h"
#include "cli/stderrui.h"
#include "setup/settingsfile.h"
#include "setup/setupboxes.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace pkivo::cli {

namespace {

const char* const usage = "usage: pkivo-cli setup [show | set FIELD=VALUE...]";

std::optional<size_t> boxNamed(const std::string& name) {
    for (size_t i = 0; i < setupBoxes.size(); ++i) {
        if (name == setupBoxes[i].name) {
            return i;
        }
    }
    return std::nullopt;
}

void show(const SettingsRecord& sysparams) {
    for (const SetupBox& box : setupBoxes) {
        std::cout << box.name << '=' << sysparams.field(box.field) << '\n';
    }
}

} // namespace

int setup(const Arguments& args) {
    const bool setting = !args.empty() && args[0] == "set";
    if ((!args.empty() && args[0] != "show" && !setting) || (!setting && args.size() > 1) ||
        (setting && args.size() < 2)) {
        std::cerr << usage << '\n';
        return exitUsage;
    }
    // Every assignment is checked before anything is written.
    std::vector<std::pair<size_t, std::string>> changes;
    for (size_t i = 1; setting && i < args.size(); ++i) {
        const size_t equals = args[i].find('=');
        const std::optional<size_t> box =
            equals == std::string::npos ? std::nullopt : boxNamed(args[i].substr(0, equals));
        if (!box) {
            std::cerr << "pkivo-cli: '" << args[i] << "' is not FIELD=VALUE with a field of";
            for (const SetupBox& b : setupBoxes) {
                std::cerr << ' ' << b.name;
            }
            std::cerr << '\n' << usage << '\n';
            return exitUsage;
        }
        changes.emplace_back(*box, args[i].substr(equals + 1));
    }
    StderrUi ui;
    SettingsRecord sysparams;
    if (!initparams(sysparams, ui)) {
        return exitFailed;
    }
    for (const auto& [box, value] : changes) {
        saveSetupBox(sysparams, setupBoxes[box], value);
    }
    if (setting && !writeparams(sysparams, ui)) {
        return exitFailed;
    }
    show(sysparams);
    return exitOk;
}

} // namespace pkivo::cli
