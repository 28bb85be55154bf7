#include "translation/NameIndex.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <functional>
#include <string_view>

#include "translation/CacheHints.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

std::uint32_t hash_of(TextView text) {
    return static_cast<std::uint32_t>(hash_text(text));
}

} // namespace

NameIndex::NameIndex(PairFile file, Keys keys) : m_file(std::move(file)), m_keys(keys) {
    const bool with_translations = keys == Keys::OriginalsAndTranslations;
    const std::size_t texts = m_file.entries.size() * (with_translations ? 2 : 1);
    // Texts are numbered in 32 bits. A pair file of two thousand million entries would be
    // at least 16 GB, far beyond what is ever read into memory here, so the cut never
    // happens in practice; it only keeps the numbering sound.
    if (m_file.entries.size() >= kNone / 2) {
        m_file.entries.resize(kNone / 2 - 1);
    }
    std::size_t capacity = 16;
    while (capacity < texts * 2) {
        capacity *= 2;
    }
    m_slots.resize(capacity);

    // The texts go in a group at a time: the slots of the whole group are asked for from
    // memory first and filled only then, so that the waits for a table larger than the
    // caches overlap. Within a group the texts still go in in file order, which decides
    // which entry is first.
    constexpr std::size_t kGroup = 16;
    // Text k is entry k >> shift, its translation when the index has them and k is odd.
    const std::size_t shift = with_translations ? 1 : 0;
    const std::size_t total = m_file.entries.size() << shift;
    std::array<std::uint32_t, kGroup> hashes{};
    for (std::size_t first = 0; first < total; first += kGroup) {
        const std::size_t count = std::min(kGroup, total - first);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t text = first + i;
            hashes[i] = hash_of(m_file.entries[text >> shift][text & shift]);
            prefetch(&m_slots[hashes[i] & (capacity - 1)]);
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t text = first + i;
            const auto index = static_cast<std::uint32_t>(text >> shift);
            const bool is_translation = (text & shift) != 0;
            Slot& slot =
                m_slots[find_slot(m_file.entries[index][is_translation ? 1 : 0], hashes[i])];
            if (slot.text == kNone) {
                slot.hash = hashes[i];
                slot.text = 2 * index + (is_translation ? 1 : 0);
            }
            // Entries come in file order, so the first one seen is the one that wins.
            auto& first_entry = is_translation ? slot.first_translation : slot.first_original;
            if (first_entry == kNone) {
                first_entry = index;
            }
        }
    }
}

TextView NameIndex::slot_text(const Slot& slot) const {
    return m_file.entries[slot.text / 2][slot.text % 2];
}

std::size_t NameIndex::find_slot(TextView text, std::uint32_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t position = hash & mask;; position = (position + 1) & mask) {
        const Slot& slot = m_slots[position];
        if (slot.text == kNone || (slot.hash == hash && slot_text(slot) == text)) {
            return position;
        }
    }
}

void NameIndex::prefetch_table(TextView key) const {
    if (!m_slots.empty()) {
        prefetch(&m_slots[hash_of(key) & (m_slots.size() - 1)]);
    }
}

void NameIndex::prefetch_entry(TextView key) const {
    if (m_slots.empty()) {
        return;
    }
    const std::uint32_t hash = hash_of(key);
    const Slot& slot = m_slots[hash & (m_slots.size() - 1)];
    if (slot.text != kNone && slot.hash == hash) {
        prefetch(&m_file.entries[slot.text / 2][slot.text % 2]);
    }
}

std::optional<std::size_t> NameIndex::first_match(TextView key) const {
    assert(m_keys == Keys::OriginalsAndTranslations);
    if (m_slots.empty()) {
        return std::nullopt;
    }
    const Slot& slot = m_slots[find_slot(key, hash_of(key))];
    const std::uint32_t first = std::min(slot.first_original, slot.first_translation);
    if (first == kNone) {
        return std::nullopt;
    }
    return first;
}

std::optional<std::size_t> NameIndex::first_original_match(TextView key) const {
    if (m_slots.empty()) {
        return std::nullopt;
    }
    const Slot& slot = m_slots[find_slot(key, hash_of(key))];
    if (slot.first_original == kNone) {
        return std::nullopt;
    }
    return slot.first_original;
}

} // namespace orv
