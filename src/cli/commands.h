// The commands of pkivo-cli. Each takes the arguments after its name and returns the exit status.
#pragma once

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace pkivo::cli {

using Arguments = std::vector<std::string>;

inline constexpr int exitOk = 0;
inline constexpr int exitFailed = 1;
inline constexpr int exitUsage = 2;

// An argument `command` cannot take: why, and its usage, on stderr; the usage exit status.
inline int refuseArgument(std::string_view command, std::string_view why, std::string_view usage) {
    std::cerr << "pkivo-cli " << command << ": " << why << "\n" << usage;
    return exitUsage;
}

int convert(const Arguments& args);
int setup(const Arguments& args);

} // namespace pkivo::cli
