// pkivo-cli mem: bytes of the controller's RAM or EEPROM read or written by address, as the
// Memory Editor does it, one short packet per byte. Every argument is checked before the port
// is opened: an address outside 0-65535, a byte outside 0-255 or a word that is not a number
// sends nothing and exits 2.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

// mem read ram|eeprom ADDR [COUNT] | mem write ram|eeprom ADDR BYTE...
int mem(const Arguments& args);

} // namespace pkivo::cli
