// The System Setup window's text boxes: which field of the settings record each shows, and the
// fill text put in front of what the user typed when it is saved. The window and `pkivo-cli
// setup` both go through this table.
#pragma once

#include "setup/settingsrecord.h"

#include <array>
#include <string>

namespace pkivo {

struct SetupBox {
    const char* name; // the box, and the field's name
    Field field;
    const char* fill; // put in front of the text; the rightmost characters of the width are kept
};

// In the order Save writes them.
inline const std::array<SetupBox, 10> setupBoxes{{
    {"comport", settings::comport, "00"},
    {"combaud", settings::combaud, "038400"},
    {"comparity", settings::comparity, "n"},
    {"combits", settings::combits, "8"},
    {"comstopbits", settings::comstopbits, "1"},
    {"comother", settings::comother, "0000000000000000"},
    {"gfilebox", settings::gfilebox, "                                "},
    {"flashfileloc", settings::flashfileloc, "                                "},
    {"listfileloc", settings::listfileloc, "                                "},
    {"flashmemfileloc", settings::flashmemfileloc, "                                "},
}};

// Writes `typed` into its field as Save does: nothing is checked, a short text is padded with
// the fill text's leading characters, a long one keeps its rightmost characters.
void saveSetupBox(SettingsRecord& sysparams, const SetupBox& box, const std::string& typed);

} // namespace pkivo
