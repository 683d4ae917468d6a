// The controller's flash memory: 2048 pages of 264 bytes, the first 256 of each page holding
// 16 records ("lines") of 16 bytes. Program records, stored positions, speed entries and packed
// records all live in this one address space of lines; erased flash reads all F.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pkivo::sim {

class FlashMemory {
public:
    static constexpr int pageCount = 2048;
    static constexpr int pageBytes = 264;
    static constexpr int recordsPerPage = 16;
    static constexpr int recordBytes = 16;
    static constexpr int lineCount = pageCount * recordsPerPage; // 32768
    static constexpr uint8_t erased = 0xFF;

    using Record = std::array<uint8_t, recordBytes>;

    FlashMemory();

    static bool validLine(int64_t line) { return line >= 0 && line < lineCount; }
    static bool validPage(int64_t page) { return page >= 0 && page < pageCount; }

    Record record(int line) const;
    void setRecord(int line, const Record& record);

    // A record as 32 upper-case hex digits.
    std::string recordHex(int line) const;

    // A page as its 528 hex digits, and back (false for anything but 528 hex digits).
    std::string pageHex(int page) const;
    bool setPageHex(int page, const std::string& digits);
    bool pageErased(int page) const;

    void eraseAll();

private:
    size_t lineOffset(int line) const;
    std::vector<uint8_t> m_bytes;
};

// Hex text helpers shared by the controller's records: upper-case digits, two per byte.
std::string bytesToHex(const uint8_t* bytes, size_t count);
bool hexToBytes(const std::string& digits, uint8_t* bytes, size_t count);

} // namespace pkivo::sim
