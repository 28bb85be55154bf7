#include "plugin/Block.h"

#include <cassert>
#include <utility>

namespace orv {

Block::Block(std::span<const std::byte> bytes) {
    if (!bytes.empty()) {
        m_owned = std::make_unique_for_overwrite<std::byte[]>(bytes.size());
        std::memcpy(m_owned.get(), bytes.data(), bytes.size());
        m_data = m_owned.get();
        m_size = bytes.size();
    }
}

Block Block::in_place(std::span<std::byte> bytes) {
    Block block;
    block.m_data = bytes.data();
    block.m_size = bytes.size();
    return block;
}

Block& Block::operator=(const Block& other) {
    if (this != &other) {
        *this = Block(other.bytes());
    }
    return *this;
}

// A block moved from is empty: it must not keep pointing at bytes that are no longer its own.
Block::Block(Block&& other) noexcept
    : m_owned(std::move(other.m_owned)), m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)) {}

Block& Block::operator=(Block&& other) noexcept {
    m_owned = std::move(other.m_owned);
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    return *this;
}

void Block::replace(std::size_t offset, std::size_t old_length,
                    std::span<const std::byte> replacement) {
    assert(offset <= m_size && old_length <= m_size - offset);
    const std::size_t tail = m_size - offset - old_length;
    if (replacement.size() <= old_length) {
        if (!replacement.empty()) {
            std::memcpy(m_data + offset, replacement.data(), replacement.size());
        }
        if (replacement.size() < old_length && tail > 0) {
            std::memmove(m_data + offset + replacement.size(), m_data + offset + old_length, tail);
        }
        m_size -= old_length - replacement.size();
        return;
    }
    // A longer block takes a buffer of exactly its new length, as long as a loaded block's
    // place: room to spare would stay unused for as long as the plugin is loaded.
    const std::size_t size = m_size - old_length + replacement.size();
    auto changed = std::make_unique_for_overwrite<std::byte[]>(size);
    if (offset > 0) {
        std::memcpy(changed.get(), m_data, offset);
    }
    std::memcpy(changed.get() + offset, replacement.data(), replacement.size());
    if (tail > 0) {
        std::memcpy(changed.get() + offset + replacement.size(), m_data + offset + old_length,
                    tail);
    }
    m_owned = std::move(changed);
    m_data = m_owned.get();
    m_size = size;
}

void write_u32_le(Block& block, std::size_t offset, std::uint32_t value) {
    assert(offset <= block.size() && block.size() - offset >= 4);
    const std::span<std::byte> bytes = block.writable();
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * i));
    }
}

Text read_text(const Block& block, std::size_t offset, std::int64_t count) {
    if (count <= 0 || offset >= block.size()) {
        return {};
    }
    const std::size_t available = block.size() - offset;
    const std::size_t wanted =
        static_cast<std::uint64_t>(count) < available ? static_cast<std::size_t>(count) : available;
    const TextView range(reinterpret_cast<const char*>(block.data() + offset), wanted);
    // Most texts hold no zero byte and are made whole from the range: constructing a text is
    // far cheaper than assigning to an empty one, and this runs half a million times for a
    // large plugin.
    if (range.find('\0') == TextView::npos) {
        return Text(range);
    }
    Text text;
    text.reserve(wanted);
    for (std::size_t i = offset; i < offset + wanted; ++i) {
        if (block[i] != std::byte{0}) {
            text.push_back(static_cast<char>(block[i]));
        }
    }
    return text;
}

Text record_tag(const Block& block) {
    return read_text(block, 0, 4);
}

Text record_id(const Block& block) {
    const auto size = read_u32_le(block, 20);
    if (!size) {
        return {};
    }
    return read_text(block, 24, static_cast<std::int64_t>(*size) - 1);
}

std::optional<std::int32_t> skill_index(const Block& block) {
    const auto value = read_u32_le(block, 24);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

} // namespace orv
