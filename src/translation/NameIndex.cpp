#include "translation/NameIndex.h"

#include <algorithm>

namespace orv {

NameIndex::NameIndex(PairFile file) : m_file(std::move(file)) {
    m_first_by_original.reserve(m_file.entries.size());
    m_first_by_translation.reserve(m_file.entries.size());
    for (std::size_t index = 0; index < m_file.entries.size(); ++index) {
        const auto& [original, translation] = m_file.entries[index];
        // emplace keeps an existing key, so each text maps to its first entry in file order.
        m_first_by_original.emplace(original, index);
        m_first_by_translation.emplace(translation, index);
    }
}

std::optional<std::size_t> NameIndex::first_match(TextView key) const {
    const auto by_original = first_original_match(key);
    const auto by_translation = m_first_by_translation.find(key);
    if (by_translation == m_first_by_translation.end()) {
        return by_original;
    }
    if (!by_original) {
        return by_translation->second;
    }
    return std::min(*by_original, by_translation->second);
}

std::optional<std::size_t> NameIndex::first_original_match(TextView key) const {
    const auto found = m_first_by_original.find(key);
    if (found == m_first_by_original.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace orv
