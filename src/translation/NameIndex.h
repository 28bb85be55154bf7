#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "translation/DatabaseFile.h"

namespace orv {

// A pair file indexed for lookups, read once per command instead of once per name. Every
// answer is exactly what reading the file from its start would give: the first entry in
// file order wins.
class NameIndex {
public:
    // Which texts are looked up: names are matched against both texts of an entry, game
    // settings and cell references against the originals only, which halves the work.
    enum class Keys { OriginalsAndTranslations, OriginalsOnly };

    NameIndex() = default;
    explicit NameIndex(PairFile file, Keys keys = Keys::OriginalsAndTranslations);

    // The first entry whose original or whose translation equals `key` (byte for byte,
    // equal length), or nothing. Not for an index of the originals only.
    std::optional<std::size_t> first_match(TextView key) const;
    // The first entry whose original equals `key`, or nothing.
    std::optional<std::size_t> first_original_match(TextView key) const;

    // Hints that speed up a lookup of `key` to come and change no answer: the first asks
    // for the part of the table where the lookup starts, without waiting for it; the
    // second, some time later, reads that part and asks for the entry found there.
    void prefetch_table(TextView key) const;
    void prefetch_entry(TextView key) const;

    const PairEntry& entry(std::size_t index) const { return m_file.entries[index]; }
    std::size_t size() const { return m_file.entries.size(); }
    const PairFile& file() const { return m_file; }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // One distinct text of the file (an original, a translation, or both) with the first
    // entry that has it as original and the first that has it as translation. The text
    // itself is not copied: `text` is 2 * entry + 1 for a translation, 2 * entry for an
    // original. 16 bytes, so that the table stays small enough for the caches.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t text = kNone;
        std::uint32_t first_original = kNone;
        std::uint32_t first_translation = kNone;
    };

    TextView slot_text(const Slot& slot) const;
    // The slot holding `text`, or the empty slot where it belongs.
    std::size_t find_slot(TextView text, std::uint32_t hash) const;

    PairFile m_file;
    Keys m_keys = Keys::OriginalsAndTranslations;
    // Open addressing with linear probing; the size is a power of two at least twice the
    // number of texts, so probes stay short and always end at an empty slot.
    std::vector<Slot> m_slots;
};

} // namespace orv
