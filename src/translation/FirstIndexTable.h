#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Text.h"
#include "translation/TextKeys.h"

namespace orv {

// Texts compared byte for byte.
struct ExactTexts {
    static std::uint64_t hash(TextView text) { return hash_text(text); }
    static bool equal(TextView left, TextView right) { return left == right; }
};

// Finds the first of numbered items by its key: the ID of a text database's entry, the name
// of a table's entry, the old name of a rename. The keys are not copied; whoever owns the
// items hands `key_of(number)` to the building and to every lookup. `Keys` says which keys
// are the same (ExactTexts, or a rule that ignores letter case) with a hash that gives the
// same keys the same hash.
//
// Open addressing with linear probing in a power-of-two table at least twice as large as the
// number of items, so probes stay short and always end at an empty slot. A slot is 8 bytes, a
// hash cut to 32 bits and an item's number, so that the table stays small enough for the
// caches; a lookup reads an item's key only where the hash matches.
template <typename Keys>
class FirstIndexTable {
public:
    FirstIndexTable() = default;

    // Numbers the items 0 to count - 1 by their keys; of items with the same key the one
    // with the lowest number is found. Items are numbered in 32 bits: a table of four
    // thousand million items is never read into memory, so those beyond are not looked up
    // rather than numbered wrongly.
    template <typename KeyOf>
    FirstIndexTable(std::size_t count, const KeyOf& key_of) {
        count = std::min<std::size_t>(count, kNone);
        std::size_t capacity = 16;
        while (capacity < count * 2) {
            capacity *= 2;
        }
        m_slots.resize(capacity);
        for (std::size_t number = 0; number < count; ++number) {
            const TextView key = key_of(number);
            const auto hash = static_cast<std::uint32_t>(Keys::hash(key));
            Slot& slot = m_slots[find_slot(key, hash, key_of)];
            if (slot.number == kNone) {
                slot = {hash, static_cast<std::uint32_t>(number)};
            }
        }
    }

    // The number of the first item whose key is the same as `key`, or nothing.
    template <typename KeyOf>
    std::optional<std::size_t> find(TextView key, const KeyOf& key_of) const {
        if (m_slots.empty()) {
            return std::nullopt;
        }
        const Slot& slot =
            m_slots[find_slot(key, static_cast<std::uint32_t>(Keys::hash(key)), key_of)];
        if (slot.number == kNone) {
            return std::nullopt;
        }
        return slot.number;
    }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t number = kNone;
    };

    // The slot holding `key`, or the empty slot where it belongs.
    template <typename KeyOf>
    std::size_t find_slot(TextView key, std::uint32_t hash, const KeyOf& key_of) const {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t position = hash & mask;; position = (position + 1) & mask) {
            const Slot& slot = m_slots[position];
            if (slot.number == kNone ||
                (slot.hash == hash && Keys::equal(key_of(slot.number), key))) {
                return position;
            }
        }
    }

    std::vector<Slot> m_slots;
};

} // namespace orv
