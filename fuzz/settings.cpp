// params.ovh as anything may have left it: the console loads it, takes the port settings and
// the paths from it, and a save writes back exactly the record it loaded.
#include "fuzz/fuzzhome.h"
#include "fuzz/targets.h"

#include "converter/conversion.h"
#include "link/link.h"
#include "platform/drivepath.h"
#include "platform/serialsettings.h"
#include "platform/uiservices.h"
#include "setup/settingsfile.h"

#include <fstream>
#include <string>

namespace pkivo::fuzz {

namespace {

class SilentUi : public UiServices {
public:
    void messageBox(const std::string&) override {}
    bool question(const std::string&) override { return false; }
    void endProgram() override { ended = true; }
    bool ended = false;
};

} // namespace

void fuzzSettings(const uint8_t* data, size_t size) {
    useTemporaryHome();
    {
        std::ofstream file(mapDrivePath(settings::paramsFile), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    SilentUi ui;
    SettingsRecord sysparams;
    if (!readparams(sysparams, ui)) {
        require(ui.ended, "a settings file that cannot be read ends the program");
        return;
    }
    require(sysparams.text().size() >= settings::recordLength, "the record is whole");

    const PortSettings port = portSettingsFrom(sysparams);
    parseSerialSettings(portSettingsText(port));
    const ConversionPaths paths = ConversionPaths::fromSettings(sysparams);
    for (const std::string& path : {paths.source, paths.listfile, paths.hexpath}) {
        mapDrivePath(path);
    }

    require(writeparams(sysparams, ui), "a loaded record can be saved");
    SettingsRecord reloaded;
    require(readparams(reloaded, ui), "a saved record can be loaded");
    require(reloaded.text() == sysparams.text(), "a saved record loads as it was");
}

} // namespace pkivo::fuzz
