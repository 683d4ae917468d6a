// The controller's non-volatile state (flash pages and EEPROM) as a text file, so that what
// was downloaded or stored is still there the next time the virtual controller starts. Only
// pages and EEPROM rows that differ from erased memory are written:
//   PKIVO-SIM STATE 1
//   PAGE 00625 <528 hex digits>
//   EEPROM 0000 <64 hex digits: 32 bytes from that address>
#pragma once

#include "sim/machine.h"

#include <string>

namespace pkivo::sim {

// ~/.config/pkivo/pkivo-sim.state
std::string defaultStatePath();

std::string stateText(const Machine& machine);
// Loads into a freshly built machine; false with a message naming the bad line.
bool loadStateText(Machine& machine, const std::string& text, std::string& error);

// A missing file is not an error: the machine keeps its erased state.
bool loadStateFile(Machine& machine, const std::string& path, std::string& error);
// Written to a temporary file first and renamed, so a crash never leaves half a state.
bool saveStateFile(const Machine& machine, const std::string& path, std::string& error);

} // namespace pkivo::sim
