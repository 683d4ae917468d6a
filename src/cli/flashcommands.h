// The flash tools of pkivo-cli, with the "Flash memory utility" window's rules: flash-read
// (a range of pages into a flash file), flash-write (a flash file into flash) and flash-erase.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

int flashRead(const Arguments& args);
int flashWrite(const Arguments& args);
int flashErase(const Arguments& args);

} // namespace pkivo::cli
