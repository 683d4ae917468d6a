// The converter's label table: 1001 names with the address each was defined at, kept between
// the two passes so forward references resolve in the second.
#pragma once

#include <array>
#include <string>
#include <unordered_map>

namespace pkivo {

class LabelTable {
public:
    static constexpr int capacity = 1001;

    void clear();
    // Entry `index` (0 to 1000) now names `name` at `address`.
    void define(int index, const std::string& name, const std::string& address);
    // The address of the first entry called `name`, or nullptr.
    const std::string* find(const std::string& name) const;

private:
    std::array<std::string, capacity> m_names;
    std::array<std::string, capacity> m_addresses;
    // First entry of each name, so a lookup does not walk 1001 entries.
    std::unordered_map<std::string, int> m_first;
};

} // namespace pkivo
