// pkivo-cli speed: one entry of the controller's speed table read or written, as the Speed
// Editor does it. Every argument is checked before the port is opened: a location outside
// 32000-32255 or a value that is not a number from 0 to 999 sends nothing and exits 2.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

// speed get LOC | speed put LOC S1..S8 C1..C8
int speed(const Arguments& args);

} // namespace pkivo::cli
