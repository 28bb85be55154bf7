#include "translation/StoredTexts.h"

namespace orv {

void StoredTexts::stored(std::int32_t block, const Text& before, const Text& after, int slot) {
    if (before == after) {
        return;
    }
    // Only the first store since the plugin was opened sees the record's own text.
    m_originals.try_emplace({block, slot}, before);
    m_unsaved.insert({block, slot});
}

const Text* StoredTexts::original(std::int32_t block, int slot) const {
    const auto found = m_originals.find({block, slot});
    return found == m_originals.end() ? nullptr : &found->second;
}

void StoredTexts::clear() {
    m_originals.clear();
    m_unsaved.clear();
}

} // namespace orv
