// The converter on any script: both passes and the fixups run to their end or stop with a
// processing error, and what they leave behind is a flash data file the download can send.
#include "fuzz/fuzzhome.h"
#include "fuzz/targets.h"

#include "converter/conversion.h"
#include "core/pageline.h"
#include "platform/drivepath.h"
#include "platform/textfile.h"
#include "setup/settingsrecord.h"

#include <fstream>
#include <set>
#include <string>

namespace pkivo::fuzz {

namespace {

class Unobserved : public ConversionObserver {
public:
    void passFinished(int, const Counters&, const std::string&) override {}
    void processingError(const std::string&) override {}
};

// Every line of the flash data file is one whole page line, each page at most once.
void checkFlashFile(const std::string& path) {
    TextReader flash;
    require(flash.open(path), "a completed conversion leaves flash.tmp");
    std::set<std::string> pages;
    while (!flash.atEndOfStream()) {
        const std::string line = flash.readLine();
        require(line.size() == pageline::length, "every page line is 533 characters");
        require(pages.insert(line.substr(0, pageline::numberDigits)).second,
                "page numbers are unique in flash.tmp");
    }
}

} // namespace

void fuzzTranslator(const uint8_t* data, size_t size) {
    useTemporaryHome();
    const ConversionPaths paths = ConversionPaths::fromSettings(SettingsRecord::defaults());
    {
        std::ofstream script(mapDrivePath(paths.source), std::ios::binary | std::ios::trunc);
        script.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    // flash.tmp of the run before stays: a failed run must remove it too.
    Unobserved observer;
    Conversion conversion(observer);
    const ConversionResult result = conversion.run(paths);
    if (result.completed) {
        checkFlashFile(paths.hexpath);
    } else {
        require(!fileExists(paths.hexpath), "a failed conversion leaves no flash.tmp");
    }
}

} // namespace pkivo::fuzz
