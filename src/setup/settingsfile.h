// Loading and storing the settings record in c:\Tolvane\params.ovh. A file that cannot be read
// or written ends the program after its message, as the console always has.
#pragma once

#include "setup/settingsrecord.h"

namespace pkivo {

class UiServices;

inline constexpr const char* configErrorMessage =
    "Canot open config file or invalid directory. Re-setup";
inline constexpr const char* writeErrorMessage = "Canot write parameter file. Re-setup";

// Start-up: creates c:\Tolvane and a default params.ovh when they are missing, then reads the
// record into `sysparams`. On failure: the message, then endProgram(); returns false.
bool initparams(SettingsRecord& sysparams, UiServices& ui);
// Re-reads params.ovh into `sysparams`. On failure: the message, endProgram(), false.
bool readparams(SettingsRecord& sysparams, UiServices& ui);
// Stores `sysparams` in params.ovh, writing a new file beside it and renaming it over the old
// one, so the file is never left empty or half-written. On failure: the message, endProgram(),
// false; the old file is kept.
bool writeparams(const SettingsRecord& sysparams, UiServices& ui);

} // namespace pkivo
