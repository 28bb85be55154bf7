#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "platform/Text.h"

namespace orv {

// A hash of a text's bytes, read eight at a time; equal texts give equal hashes on every
// platform. Not for anything that must resist chosen input, only for the lookup tables.
std::uint64_t hash_text(TextView text);
// The same hash of the text with its ASCII letters in upper case: texts that are equal but
// for the case of ASCII letters get the same hash.
std::uint64_t hash_text_ignoring_ascii_case(TextView text);

// A set of texts held in one buffer, asked about views without copying them: one
// allocation for all the texts and one for the table, never one per text. Any byte string
// is a key, the empty one included.
class TextKeySet {
public:
    TextKeySet() = default;
    TextKeySet(std::initializer_list<TextView> texts);

    // Makes room for `count` texts at once, so that adding them grows no table.
    void reserve(std::size_t count);
    // Adds `text` unless it is already there.
    void insert(TextView text);
    // Adds each of `texts`, as insert() one after the other would, but faster for many.
    void insert_all(std::span<const TextView> texts);
    bool contains(TextView text) const;
    // Answers contains() for each of `texts` into `found` (of the same size), faster for
    // many texts than one question at a time.
    void contains_each(std::span<const TextView> texts, std::span<bool> found) const;
    std::size_t size() const { return m_count; }

private:
    static constexpr std::uint64_t kEmpty = UINT64_MAX;

    // Where one text lies in `m_bytes`; an offset of kEmpty marks a free slot.
    struct Slot {
        std::uint64_t offset = kEmpty;
        std::uint32_t length = 0;
        std::uint32_t hash = 0;
    };

    // How many texts insert_all() and contains_each() take at a time: the slots of a group
    // are asked for from memory together, then read. Most texts a load asks about are
    // refused by the filter, so a question's group is large enough that the few slots it
    // needs arrive while the filter looks at the rest.
    static constexpr std::size_t kInsertGroup = 16;
    static constexpr std::size_t kQuestionGroup = 256;

    // The slot holding `text`, or the free slot where it belongs.
    std::size_t find_slot(TextView text, std::uint32_t hash) const;
    // Adds `text` with its hash_text() cut to 32 bits.
    void insert_hashed(TextView text, std::uint32_t hash);
    // Moves the texts into a table of `capacity` slots (a power of two).
    void grow(std::size_t capacity);
    // Whether both filter bits of `text` are set: false means it is not in the set.
    bool may_contain(TextView text) const;
    // The same for a text's quick hash.
    bool filter_passes(std::uint64_t quick) const;
    void set_filter_bits(TextView text);

    std::string m_bytes;
    // Open addressing with linear probing; the size is a power of two and at least twice
    // the number of texts, so every probe ends at a free slot.
    std::vector<Slot> m_slots;
    // Eight bits per slot, two of them in one word set for every text of the set, chosen
    // by a cheap hash of the text's length and its first and last bytes: a text with one
    // of its bits clear is not in the set. One word read answers nearly every question
    // about a text that is not there, without the full hash or the larger table.
    std::vector<std::uint64_t> m_filter;
    int m_filter_shift = 64;
    std::size_t m_count = 0;
};

} // namespace orv
