// The Board Parameters window from a shell: "params" prints every board parameter by the
// window's labels, "params set KEY=VALUE..." changes some of them as Store does, on the block
// just read, so every bit the window does not show goes back as the controller holds it.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

int params(const Arguments& args);

} // namespace pkivo::cli
