// pkivo-cli record and pkivo-cli packed: one instruction record or packed record read or
// written by line, as the Instruction Editor and the Packed Move/Position Editor do it. Every
// argument is checked before the port is opened: a line outside 0-32000 or a record that is
// not exactly its number of hex digits sends nothing and exits 2. A Get that failed prints the
// error and exits 1.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

// record get LINE | record put LINE HEX32
int record(const Arguments& args);
// packed get LINE | packed put LINE HEX64
int packed(const Arguments& args);

} // namespace pkivo::cli
