// The conversion driver behind "Read Kivo File": two translation passes over the script, then
// two fixup passes that leave one line per page in the temporary flash data file.
#pragma once

#include "converter/labeltable.h"
#include "converter/translator.h"

#include <string>

namespace pkivo {

class SettingsRecord;

inline constexpr const char* processingErrorMessage =
    "Processing Error or Canot open Kivo or temp File Line#:";

struct ConversionPaths {
    std::string source;   // the script
    std::string tempfile; // the temporary page file of the passes
    std::string listfile;
    std::string fixuppath;
    std::string fixup1path;
    std::string hexpath; // the temporary flash data file the download sends

    // The paths a conversion takes from the settings, with the fixed temporary files.
    static ConversionPaths fromSettings(const SettingsRecord& sysparams);
};

// How a conversion reports to whoever runs it: the converter window or the command line.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;
    // After each translation pass: its counters and the script text it read, each line with CR LF.
    virtual void passFinished(int passno, const Counters& counters, const std::string& text) = 0;
    // A pass ended early, or a fixup pass could not read or write its files.
    virtual void processingError(const std::string& message) = 0;
};

struct ConversionResult {
    bool completed = false; // every pass ran to its end
    Counters counters;      // of the second pass
    std::string report;     // the report's six lines, CR LF after each
};

class Conversion {
public:
    explicit Conversion(ConversionObserver& observer) : m_observer(observer) {}

    // Runs the whole conversion. The flash data file is written only when both translation
    // passes and both fixup passes ran to their end; after a failure it is removed, so a
    // download cannot send half a program as if it were all of it.
    ConversionResult run(const ConversionPaths& paths);

    // The six report lines for `counters`.
    static std::string report(const Counters& counters);

private:
    bool translationPass(int passno, const ConversionPaths& paths, Counters& counters);

    ConversionObserver& m_observer;
    LabelTable m_labels;
    std::string m_lastAddress; // where the last pass stopped, for the error message
};

} // namespace pkivo
