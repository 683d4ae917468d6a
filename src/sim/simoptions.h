// The virtual controller's command line: which port to serve, how to pace the line, where to
// keep its state, and which faults to inject.
#pragma once

#include "sim/protocol.h"

#include <optional>
#include <string>
#include <vector>

namespace pkivo::sim {

struct SimOptions {
    std::optional<int> port; // com<n>; the first free number when not given
    std::string statePath;   // empty: defaultStatePath()
    ProtocolOptions protocol;
    bool help = false;
};

// The arguments after the program name. False with a message for anything it cannot take.
bool parseSimArguments(const std::vector<std::string>& args, SimOptions& options,
                       std::string& error);
std::string simUsage();

} // namespace pkivo::sim
