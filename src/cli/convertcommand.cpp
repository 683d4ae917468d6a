// pkivo-cli convert: what "Read Kivo File" does, with the paths from the settings.
#include "cli/commands.h"
#include "cli/stderrui.h"
#include "converter/conversion.h"
#include "setup/settingsfile.h"

#include <iostream>

namespace pkivo::cli {

namespace {

class PrintingObserver : public ConversionObserver {
public:
    explicit PrintingObserver(UiServices& ui) : m_ui(ui) {}
    void passFinished(int, const Counters&, const std::string&) override {}
    void processingError(const std::string& message) override { m_ui.messageBox(message); }

private:
    UiServices& m_ui;
};

} // namespace

int convert(const Arguments& args) {
    if (!args.empty()) {
        std::cerr << "usage: pkivo-cli convert\n";
        return exitUsage;
    }
    StderrUi ui;
    SettingsRecord sysparams;
    if (!initparams(sysparams, ui)) {
        return exitFailed;
    }
    PrintingObserver observer(ui);
    Conversion conversion(observer);
    ConversionResult result = conversion.run(ConversionPaths::fromSettings(sysparams));
    // A failed pass has no report worth the name: zeros would read like an empty script.
    if (!result.completed) {
        return exitFailed;
    }
    std::string report = result.report;
    for (size_t cr; (cr = report.find('\r')) != std::string::npos;) {
        report.erase(cr, 1);
    }
    std::cout << report << std::flush;
    return exitOk;
}

} // namespace pkivo::cli
