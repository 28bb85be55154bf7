#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "platform/Text.h"
#include "translation/TranslationMemory.h"

namespace orv {

// The translation memory as Open consults it: after the external database and before the
// shipped files, it gives names and texts the German its lines hold. Lookups are by kind
// (an object list, or a text kind of TranslationMemory.h) and exact text, byte for byte.
// Of several lines for one kind and English text, the last in the file wins, as it does
// when the memory is merged.
class MemoryIndex {
public:
    MemoryIndex() = default;
    explicit MemoryIndex(std::vector<MemoryEntry> entries);

    bool empty() const { return m_entries.empty(); }
    // The lines, in file order.
    const std::vector<MemoryEntry>& entries() const { return m_entries; }
    // Whether a line of `kind` is there: a pass over records of a kind the memory lacks can
    // be left out.
    bool holds(int kind) const;
    // The German text of `english` in `kind`, or nothing.
    const Text* translation(int kind, TextView english) const;
    // The English text whose German is `german` in `kind`, or nothing: the text is German
    // already.
    const Text* original_of(int kind, TextView german) const;

private:
    static Text key(int kind, TextView text);

    std::vector<MemoryEntry> m_entries;
    // Keyed by the kind's byte and the text.
    std::unordered_map<Text, std::size_t> m_by_english;
    std::unordered_map<Text, std::size_t> m_by_german;
    std::vector<bool> m_kinds_held = std::vector<bool>(kMemoryKindCount, false);
};

} // namespace orv
