#include "translation/TextKeys.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "translation/CacheHints.h"

namespace orv {
namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

// Eight bytes in little-endian order, so that the hash does not depend on the machine.
std::uint64_t word_at(const char* bytes) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, 8);
        return word;
    }
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return word;
}

// The last one to seven bytes, in the same order.
std::uint64_t tail_at(const char* bytes, std::size_t count) {
    std::uint64_t word = 0;
    for (std::size_t i = count; i > 0; --i) {
        word = (word << 8) | static_cast<unsigned char>(bytes[i - 1]);
    }
    return word;
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t word) {
    hash ^= word;
    hash *= kMultiplier;
    return hash ^ (hash >> 29);
}

// A hash of the length and the first and last eight bytes only: a few instructions for a
// text of any length, enough for the filter, which only needs to refuse most texts.
std::uint64_t quick_hash(TextView text) {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    if (text.size() >= 8) {
        first = word_at(text.data());
        last = word_at(text.data() + text.size() - 8);
    } else {
        first = tail_at(text.data(), text.size());
    }
    std::uint64_t hash = (first ^ text.size()) * kMultiplier;
    hash = (hash ^ (hash >> 29) ^ last) * kMultiplier;
    return hash ^ (hash >> 32);
}

// The two bits a text sets in its filter word, from the low twelve bits of its quick hash
// (the word itself is chosen by the high bits).
std::uint64_t filter_mask(std::uint64_t quick) {
    return (std::uint64_t{1} << (quick & 63)) | (std::uint64_t{1} << ((quick >> 6) & 63));
}

// The eight bytes of a word with 'a' to 'z' turned into 'A' to 'Z', all at once: a byte
// gets bit 7 of `lower` set exactly when it lies in 'a'..'z', and that bit, moved down to
// bit 5, is the difference between a lower and an upper case ASCII letter.
std::uint64_t ascii_upper_word(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::uint64_t low_bits = word & ~kHigh;
    // Per byte: bit 7 set when the byte's low seven bits are >= 'a', resp. > 'z'.
    const std::uint64_t at_least_a = low_bits + (0x80 - 'a') * kOnes;
    const std::uint64_t above_z = low_bits + (0x7F - 'z') * kOnes;
    const std::uint64_t lower = at_least_a & ~above_z & ~word & kHigh;
    return word - (lower >> 2);
}

template <typename Fold>
std::uint64_t hash_words(TextView text, Fold fold) {
    std::uint64_t hash = mix(0x243F6A8885A308D3ULL, text.size());
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        hash = mix(hash, fold(word_at(text.data() + pos)));
    }
    if (pos < text.size()) {
        hash = mix(hash, fold(tail_at(text.data() + pos, text.size() - pos)));
    }
    hash *= kMultiplier;
    return hash ^ (hash >> 32);
}

} // namespace

std::uint64_t hash_text(TextView text) {
    return hash_words(text, [](std::uint64_t word) { return word; });
}

std::uint64_t hash_text_ignoring_ascii_case(TextView text) {
    return hash_words(text, ascii_upper_word);
}

TextKeySet::TextKeySet(std::initializer_list<TextView> texts) {
    for (const TextView text : texts) {
        insert(text);
    }
}

std::size_t TextKeySet::find_slot(TextView text, std::uint32_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t position = hash & mask;; position = (position + 1) & mask) {
        const Slot& slot = m_slots[position];
        if (slot.offset == kEmpty || (slot.hash == hash && slot.length == text.size() &&
                                      TextView(m_bytes).substr(slot.offset, slot.length) == text)) {
            return position;
        }
    }
}

bool TextKeySet::may_contain(TextView text) const {
    return filter_passes(quick_hash(text));
}

bool TextKeySet::filter_passes(std::uint64_t quick) const {
    const std::uint64_t mask = filter_mask(quick);
    return (m_filter[quick >> m_filter_shift] & mask) == mask;
}

void TextKeySet::set_filter_bits(TextView text) {
    const std::uint64_t quick = quick_hash(text);
    m_filter[quick >> m_filter_shift] |= filter_mask(quick);
}

void TextKeySet::reserve(std::size_t count) {
    if (count * 2 > m_slots.size()) {
        std::size_t capacity = 16;
        while (capacity < count * 2) {
            capacity *= 2;
        }
        grow(capacity);
    }
}

void TextKeySet::grow(std::size_t capacity) {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(capacity, Slot{});
    // Eight filter bits per slot, in words of 64 (at least two words, as a table has at
    // least 16 slots): with at most one text per two slots, a text not in the set finds
    // both of its bits set about once in a hundred.
    const int word_bits = std::countr_zero(m_slots.size()) - 3;
    m_filter_shift = 64 - word_bits;
    m_filter.assign(std::size_t{1} << word_bits, 0);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.offset == kEmpty) {
            continue;
        }
        std::size_t position = slot.hash & mask;
        while (m_slots[position].offset != kEmpty) {
            position = (position + 1) & mask;
        }
        m_slots[position] = slot;
        set_filter_bits(TextView(m_bytes).substr(slot.offset, slot.length));
    }
}

void TextKeySet::insert(TextView text) {
    insert_hashed(text, static_cast<std::uint32_t>(hash_text(text)));
}

void TextKeySet::insert_all(std::span<const TextView> texts) {
    for (std::size_t first = 0; first < texts.size(); first += kInsertGroup) {
        const auto group = texts.subspan(first, std::min(kInsertGroup, texts.size() - first));
        // Room for the whole group first, so that no slot asked for moves before it is used.
        if ((m_count + group.size()) * 2 > m_slots.size()) {
            reserve(m_count + group.size());
        }
        std::array<std::uint32_t, kInsertGroup> hashes{};
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            hashes[i] = static_cast<std::uint32_t>(hash_text(group[i]));
            prefetch(&m_slots[hashes[i] & mask]);
        }
        for (std::size_t i = 0; i < group.size(); ++i) {
            insert_hashed(group[i], hashes[i]);
        }
    }
}

void TextKeySet::insert_hashed(TextView text, std::uint32_t hash) {
    // Every key is a subrecord's text, whose length is a 32-bit field; nothing longer can
    // come here.
    if (text.size() > UINT32_MAX) {
        return;
    }
    if ((m_count + 1) * 2 > m_slots.size()) {
        grow(m_slots.empty() ? 16 : m_slots.size() * 2);
    }
    Slot& slot = m_slots[find_slot(text, hash)];
    if (slot.offset != kEmpty) {
        return;
    }
    slot.offset = m_bytes.size();
    slot.length = static_cast<std::uint32_t>(text.size());
    slot.hash = hash;
    m_bytes.append(text);
    set_filter_bits(text);
    ++m_count;
}

bool TextKeySet::contains(TextView text) const {
    if (m_slots.empty()) {
        return false;
    }
    if (!may_contain(text)) {
        return false;
    }
    const auto hash = static_cast<std::uint32_t>(hash_text(text));
    return m_slots[find_slot(text, hash)].offset != kEmpty;
}

void TextKeySet::contains_each(std::span<const TextView> texts, std::span<bool> found) const {
    std::fill(found.begin(), found.end(), false);
    if (m_slots.empty()) {
        return;
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t first = 0; first < texts.size(); first += kQuestionGroup) {
        const std::size_t count = std::min(kQuestionGroup, texts.size() - first);
        // First the filter words of all texts are asked for. The filter refuses most texts;
        // for the others the slot where the search starts is asked for, then, once the slots
        // are on their way, the text a matching slot points to, and only then are the texts
        // compared.
        std::array<std::uint64_t, kQuestionGroup> quick;
        for (std::size_t i = 0; i < count; ++i) {
            quick[i] = quick_hash(texts[first + i]);
            prefetch(&m_filter[quick[i] >> m_filter_shift]);
        }
        std::array<std::uint32_t, kQuestionGroup> asked;
        std::array<std::uint32_t, kQuestionGroup> hashes;
        std::size_t asked_count = 0;
        for (std::size_t i = first; i < first + count; ++i) {
            if (filter_passes(quick[i - first])) {
                const auto hash = static_cast<std::uint32_t>(hash_text(texts[i]));
                prefetch(&m_slots[hash & mask]);
                asked[asked_count] = static_cast<std::uint32_t>(i - first);
                hashes[asked_count] = hash;
                ++asked_count;
            }
        }
        for (std::size_t k = 0; k < asked_count; ++k) {
            const Slot& slot = m_slots[hashes[k] & mask];
            if (slot.offset != kEmpty && slot.hash == hashes[k]) {
                prefetch(m_bytes.data() + slot.offset);
            }
        }
        for (std::size_t k = 0; k < asked_count; ++k) {
            const std::size_t i = first + asked[k];
            found[i] = m_slots[find_slot(texts[i], hashes[k])].offset != kEmpty;
        }
    }
}

} // namespace orv
