// Maps the program's drive-letter paths ("c:\Tolvane\kivo.txt") onto this machine's files.
#pragma once

#include <string>

namespace pkivo {

// The user's home directory, from $HOME ("/" when it is not set).
std::string homeDirectory();

// "c:\" stands for the home directory and backslashes become slashes. Each component that
// already exists is matched case-insensitively, so "c:\tolvane\flashda.fla" and
// "c:\Tolvane\Flashda.fla" reach the same file; components that do not exist yet keep the
// spelling given. A path in any other form is used as given.
std::string mapDrivePath(const std::string& path);

} // namespace pkivo
