// The commands of pkivo-cli. Each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace pkivo::cli {

using Arguments = std::vector<std::string>;

inline constexpr int exitOk = 0;
inline constexpr int exitFailed = 1;
inline constexpr int exitUsage = 2;

int convert(const Arguments& args);
int setup(const Arguments& args);

} // namespace pkivo::cli
