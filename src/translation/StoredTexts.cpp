#include "translation/StoredTexts.h"

namespace orv {

void StoredTexts::stored(std::int32_t block, const Text& before, const Text& after) {
    if (before == after) {
        return;
    }
    // Only the first store since the plugin was opened sees the record's own text.
    m_originals.try_emplace(block, before);
    m_unsaved.insert(block);
}

const Text* StoredTexts::original(std::int32_t block) const {
    const auto found = m_originals.find(block);
    return found == m_originals.end() ? nullptr : &found->second;
}

void StoredTexts::clear() {
    m_originals.clear();
    m_unsaved.clear();
}

} // namespace orv
