// The fixup passes: merge the page lines that share a page number into one line per page.
#pragma once

#include <string>

namespace pkivo {

struct FixupPaths {
    std::string pages;  // the temporary page file the passes wrote
    std::string fixup;  // the first line of every page number
    std::string fixup1; // every further line of a page number already seen
    std::string flash;  // the merged result, one line per page
};

// First pass: sorts the page lines into fixup.tmp and fixup1.tmp. False when a file cannot be
// opened or written.
bool splitDuplicatePages(const FixupPaths& paths);
// Second pass: writes each line of fixup.tmp to the flash data file, with every line of the
// same page in fixup1.tmp merged into it in file order. False when a file cannot be opened or
// written.
bool mergeDuplicatePages(const FixupPaths& paths);

// Copies into `fixline` every slot of `dupline` that does not start with "FF".
void mergepage(std::string& fixline, const std::string& dupline);
// The page number of a page line: the value of the digits among its first five characters.
long pageNumberOf(const std::string& pageLine);

} // namespace pkivo
