#include "converter/fixup.h"

#include "converter/instructionrecord.h"
#include "core/numbertext.h"
#include "core/pageline.h"
#include "platform/textfile.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pkivo {

long pageNumberOf(const std::string& pageLine) {
    return long(leadingNumber(std::string_view(pageLine).substr(0, pageline::numberDigits)));
}

void mergepage(std::string& fixline, const std::string& dupline) {
    for (size_t slot = 0; slot < instruction::recordsPerPage; ++slot) {
        size_t at = size_t(pageline::digits.position - 1) + instruction::recordDigits * slot;
        if (at + 2 > dupline.size() || dupline.compare(at, 2, "FF") == 0) {
            continue;
        }
        std::string record = dupline.substr(at, instruction::recordDigits);
        if (at + record.size() <= fixline.size()) {
            fixline.replace(at, record.size(), record);
        }
    }
}

bool splitDuplicatePages(const FixupPaths& paths) {
    TextReader pages;
    TextWriter firsts;
    TextWriter repeats;
    if (!pages.open(paths.pages) || !firsts.create(paths.fixup) || !repeats.create(paths.fixup1)) {
        return false;
    }
    std::unordered_set<long> seenpages;
    while (!pages.atEndOfStream()) {
        std::string line = pages.readLine();
        long page = pageNumberOf(line);
        (seenpages.insert(page).second ? firsts : repeats).writeLine(line);
    }
    bool firstsWritten = firsts.close();
    return repeats.close() && firstsWritten;
}

bool mergeDuplicatePages(const FixupPaths& paths) {
    TextReader repeats;
    if (!repeats.open(paths.fixup1)) {
        return false;
    }
    // Every repeated line, grouped by page in file order: one read instead of one per page.
    std::unordered_map<long, std::vector<std::string>> duppages;
    while (!repeats.atEndOfStream()) {
        std::string line = repeats.readLine();
        duppages[pageNumberOf(line)].push_back(std::move(line));
    }
    TextReader firsts;
    TextWriter flash;
    if (!firsts.open(paths.fixup) || !flash.create(paths.flash)) {
        return false;
    }
    while (!firsts.atEndOfStream()) {
        std::string fixline = firsts.readLine();
        auto duplicates = duppages.find(pageNumberOf(fixline));
        if (duplicates != duppages.end()) {
            for (const std::string& dupline : duplicates->second) {
                mergepage(fixline, dupline);
            }
        }
        flash.writeLine(fixline);
    }
    return flash.close();
}

} // namespace pkivo
