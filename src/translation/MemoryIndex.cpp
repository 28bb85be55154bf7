#include "translation/MemoryIndex.h"

namespace orv {

MemoryIndex::MemoryIndex(std::vector<MemoryEntry> entries) : m_entries(std::move(entries)) {
    m_by_english.reserve(m_entries.size());
    m_by_german.reserve(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const auto& entry = m_entries[i];
        m_by_english[key(entry.list_index, entry.ev_name)] = i;
        m_by_german[key(entry.list_index, entry.dv_name)] = i;
        if (entry.list_index >= 0 && entry.list_index < kMemoryKindCount) {
            m_kinds_held[static_cast<std::size_t>(entry.list_index)] = true;
        }
    }
}

bool MemoryIndex::holds(int kind) const {
    return kind >= 0 && kind < kMemoryKindCount && m_kinds_held[static_cast<std::size_t>(kind)];
}

Text MemoryIndex::key(int kind, TextView text) {
    Text joined;
    joined.reserve(text.size() + 1);
    joined.push_back(static_cast<char>(kind));
    joined.append(text);
    return joined;
}

const Text* MemoryIndex::translation(int kind, TextView english) const {
    if (m_entries.empty()) {
        return nullptr;
    }
    const auto found = m_by_english.find(key(kind, english));
    return found == m_by_english.end() ? nullptr : &m_entries[found->second].dv_name;
}

const Text* MemoryIndex::original_of(int kind, TextView german) const {
    if (m_entries.empty()) {
        return nullptr;
    }
    const auto found = m_by_german.find(key(kind, german));
    return found == m_by_german.end() ? nullptr : &m_entries[found->second].ev_name;
}

} // namespace orv
