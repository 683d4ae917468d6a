#include "sim/statefile.h"

#include "core/textfield.h"
#include "platform/drivepath.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pkivo::sim {

namespace {
constexpr const char* header = "PKIVO-SIM STATE 1";
constexpr size_t eepromRow = 32;
} // namespace

std::string defaultStatePath() {
    return homeDirectory() + "/.config/pkivo/pkivo-sim.state";
}

std::string stateText(const Machine& machine) {
    std::string text = std::string(header) + "\n";
    for (int page = 0; page < FlashMemory::pageCount; ++page) {
        if (!machine.flash().pageErased(page)) {
            text += "PAGE " + decimalDigits(uint64_t(page), 5) + " " +
                    machine.flash().pageHex(page) + "\n";
        }
    }
    for (size_t row = 0; row < Machine::memorySize; row += eepromRow) {
        uint8_t bytes[eepromRow];
        bool erased = true;
        for (size_t i = 0; i < eepromRow; ++i) {
            bytes[i] = machine.eepromByte(uint16_t(row + i));
            erased = erased && bytes[i] == 0xFF;
        }
        if (!erased) {
            text += "EEPROM " + hexDigits(row, 4) + " " + bytesToHex(bytes, eepromRow) + "\n";
        }
    }
    return text;
}

bool loadStateText(Machine& machine, const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto bad = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    if (!std::getline(in, line) || line != header) {
        number = 1;
        return bad("not a pkivo-sim state file");
    }
    number = 1;
    // Every EEPROM byte not listed is erased.
    for (size_t address = 0; address < Machine::memorySize; ++address) {
        machine.setEepromByte(uint16_t(address), 0xFF);
    }
    while (std::getline(in, line)) {
        ++number;
        std::istringstream fields(line);
        std::string kind, where, digits;
        fields >> kind >> where >> digits;
        uint64_t at = 0;
        if (kind == "PAGE") {
            if (where.size() != 5 || where.find_first_not_of("0123456789") != std::string::npos) {
                return bad("bad page number");
            }
            const int page = std::stoi(where);
            if (!FlashMemory::validPage(page) || !machine.writePageHex(page, digits)) {
                return bad("bad page");
            }
        } else if (kind == "EEPROM") {
            uint8_t bytes[eepromRow];
            if (where.size() != 4 || !parseHex(where, at) || at % eepromRow != 0 ||
                at >= Machine::memorySize || !hexToBytes(digits, bytes, eepromRow)) {
                return bad("bad EEPROM row");
            }
            for (size_t i = 0; i < eepromRow; ++i) {
                machine.setEepromByte(uint16_t(at + i), bytes[i]);
            }
        } else if (!kind.empty()) {
            return bad("unknown entry \"" + kind + "\"");
        }
    }
    return true;
}

bool loadStateFile(Machine& machine, const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return !std::filesystem::exists(path) || (error = "cannot read " + path, false);
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!loadStateText(machine, text.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool saveStateFile(const Machine& machine, const std::string& path, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << stateText(machine);
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace pkivo::sim
