#include "converter/labeltable.h"

namespace pkivo {

void LabelTable::clear() {
    m_names.fill({});
    m_addresses.fill({});
    m_first.clear();
}

void LabelTable::define(int index, const std::string& name, const std::string& address) {
    std::string old = m_names[index];
    m_names[index] = name;
    m_addresses[index] = address;
    if (old == name) {
        return;
    }
    auto entry = m_first.find(name);
    if (entry == m_first.end() || entry->second > index) {
        m_first[name] = index;
    }
    auto oldEntry = m_first.find(old);
    if (!old.empty() && oldEntry != m_first.end() && oldEntry->second == index) {
        m_first.erase(oldEntry);
        for (int i = index + 1; i < capacity; ++i) {
            if (m_names[i] == old) {
                m_first[old] = i;
                break;
            }
        }
    }
}

const std::string* LabelTable::find(const std::string& name) const {
    auto entry = m_first.find(name);
    return entry == m_first.end() ? nullptr : &m_addresses[entry->second];
}

} // namespace pkivo
