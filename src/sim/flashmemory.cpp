#include "sim/flashmemory.h"

#include "core/textfield.h"

#include <algorithm>

namespace pkivo::sim {

FlashMemory::FlashMemory() : m_bytes(size_t(pageCount) * pageBytes, erased) {}

size_t FlashMemory::lineOffset(int line) const {
    return size_t(line / recordsPerPage) * pageBytes + size_t(line % recordsPerPage) * recordBytes;
}

FlashMemory::Record FlashMemory::record(int line) const {
    Record result;
    std::copy_n(m_bytes.begin() + long(lineOffset(line)), recordBytes, result.begin());
    return result;
}

void FlashMemory::setRecord(int line, const Record& record) {
    std::copy(record.begin(), record.end(), m_bytes.begin() + long(lineOffset(line)));
}

std::string FlashMemory::recordHex(int line) const {
    return bytesToHex(m_bytes.data() + lineOffset(line), recordBytes);
}

std::string FlashMemory::pageHex(int page) const {
    return bytesToHex(m_bytes.data() + size_t(page) * pageBytes, pageBytes);
}

bool FlashMemory::setPageHex(int page, const std::string& digits) {
    std::array<uint8_t, pageBytes> parsed;
    if (!hexToBytes(digits, parsed.data(), parsed.size())) {
        return false;
    }
    std::copy(parsed.begin(), parsed.end(), m_bytes.begin() + long(size_t(page) * pageBytes));
    return true;
}

bool FlashMemory::pageErased(int page) const {
    auto first = m_bytes.begin() + long(size_t(page) * pageBytes);
    return std::all_of(first, first + pageBytes, [](uint8_t b) { return b == erased; });
}

void FlashMemory::eraseAll() {
    std::fill(m_bytes.begin(), m_bytes.end(), erased);
}

std::string bytesToHex(const uint8_t* bytes, size_t count) {
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += hexDigits(bytes[i], 2);
    }
    return text;
}

bool hexToBytes(const std::string& digits, uint8_t* bytes, size_t count) {
    if (digits.size() != count * 2) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        uint64_t value = 0;
        if (!parseHex(std::string_view(digits).substr(i * 2, 2), value)) {
            return false;
        }
        bytes[i] = uint8_t(value);
    }
    return true;
}

} // namespace pkivo::sim
