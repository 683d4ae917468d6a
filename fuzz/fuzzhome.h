// A home folder of the fuzz run's own: HOME points at a fresh temporary folder holding
// Tolvane from the first call on, and the folder is removed when the program ends.
#pragma once

namespace pkivo::fuzz {

void useTemporaryHome();

} // namespace pkivo::fuzz
