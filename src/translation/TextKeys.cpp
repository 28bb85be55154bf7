#include "translation/TextKeys.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace orv {
namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

// The bytes in little-endian order, so that the hash does not depend on the machine.
std::uint64_t word_at(const char* bytes, std::size_t count) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, count);
        return word;
    }
    unsigned char raw[8] = {};
    std::memcpy(raw, bytes, count);
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i) {
        word = (word << 8) | raw[i];
    }
    return word;
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t word) {
    hash ^= word;
    hash *= kMultiplier;
    return hash ^ (hash >> 29);
}

} // namespace

std::uint64_t hash_text(TextView text) {
    std::uint64_t hash = mix(0x243F6A8885A308D3ULL, text.size());
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        hash = mix(hash, word_at(text.data() + pos, 8));
    }
    if (pos < text.size()) {
        hash = mix(hash, word_at(text.data() + pos, text.size() - pos));
    }
    hash *= kMultiplier;
    return hash ^ (hash >> 32);
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

std::size_t TextKeySet::filter_bit(std::uint32_t hash) const {
    // The top bits of a multiplication depend on every bit of the hash, unlike the low bits
    // that pick the slot.
    return static_cast<std::uint32_t>(hash * 0x9E3779B1U) >> m_filter_shift;
}

void TextKeySet::set_filter_bit(std::uint32_t hash) {
    const std::size_t bit = filter_bit(hash);
    m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

void TextKeySet::grow() {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    // Four filter bits per slot: at most one in eight is set.
    const int filter_bits = std::min(std::countr_zero(m_slots.size()) + 2, 32);
    m_filter_shift = 32 - filter_bits;
    m_filter.assign((std::size_t{1} << filter_bits) / 64, 0);
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
        set_filter_bit(slot.hash);
    }
}

void TextKeySet::insert(TextView text) {
    // Every key is a subrecord's text, whose length is a 32-bit field; nothing longer can
    // come here.
    if (text.size() > UINT32_MAX) {
        return;
    }
    if ((m_count + 1) * 2 > m_slots.size()) {
        grow();
    }
    const auto hash = static_cast<std::uint32_t>(hash_text(text));
    Slot& slot = m_slots[find_slot(text, hash)];
    if (slot.offset != kEmpty) {
        return;
    }
    slot.offset = m_bytes.size();
    slot.length = static_cast<std::uint32_t>(text.size());
    slot.hash = hash;
    set_filter_bit(hash);
    m_bytes.append(text);
    ++m_count;
}

bool TextKeySet::contains(TextView text) const {
    if (m_slots.empty()) {
        return false;
    }
    const auto hash = static_cast<std::uint32_t>(hash_text(text));
    const std::size_t bit = filter_bit(hash);
    if ((m_filter[bit / 64] & (std::uint64_t{1} << (bit % 64))) == 0) {
        return false;
    }
    return m_slots[find_slot(text, hash)].offset != kEmpty;
}

} // namespace orv
