// pkivo-cli position, jog and output: the Position Manager's exchanges from a shell, with its
// ranges. Every argument is checked before the port is opened: a line outside 0-32000, a
// position outside 0-65535, a servo outside 1-8 or an output outside 0-255 sends nothing and
// exits 2.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

// position get LINE | position put LINE V1..V8 | position current | position move LINE
int position(const Arguments& args);
// jog SERVO +N|-N: N steps of 1, up or down
int jog(const Arguments& args);
// output N on|off
int output(const Arguments& args);

} // namespace pkivo::cli
