#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/Text.h"

namespace orv {

// One record of a loaded plugin, byte for byte as in the file: the 16-byte record header
// (tag, data size S, 8 bytes carried unchanged) followed by the subrecords. The block's
// length is its entry in the block size table; after loading it equals S + 16, and every
// change keeps it so.
//
// A loaded block lies in the copy of the whole file that its store keeps for as long as the
// plugin is loaded, and a change that does not lengthen it is made there; only a block that
// grows gets a buffer of its own. Loading a plugin so allocates nothing per record. A block
// made any other way owns its bytes, and a copy of a block always does: no copy can outlive
// the store it was taken from.
class Block {
public:
    using value_type = std::byte;
    using const_iterator = const std::byte*;
    using iterator = const_iterator;

    Block() = default;
    // A block that owns a copy of `bytes`.
    explicit Block(std::span<const std::byte> bytes);
    // Bytes built in memory pass for a block wherever one is asked for.
    Block(const std::vector<std::byte>& bytes) : Block(std::span<const std::byte>(bytes)) {}
    // A block that reads and changes `bytes` where they are; whoever holds them keeps them
    // for as long as the block or anything moved from it lives, and leaves them to it.
    static Block in_place(std::span<std::byte> bytes);

    Block(const Block& other) : Block(other.bytes()) {}
    Block& operator=(const Block& other);
    Block(Block&& other) noexcept;
    Block& operator=(Block&& other) noexcept;
    ~Block() = default;

    const std::byte* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const std::byte& operator[](std::size_t index) const { return m_data[index]; }
    const std::byte* begin() const { return m_data; }
    const std::byte* end() const { return m_data + m_size; }
    std::span<const std::byte> bytes() const { return {m_data, m_size}; }
    // The bytes, to change where they are.
    std::span<std::byte> writable() { return {m_data, m_size}; }
    // Replaces the `old_length` bytes at `offset`, which must lie inside the block, by
    // `replacement`; the bytes after them move along. Only a longer block moves to a new
    // buffer.
    void replace(std::size_t offset, std::size_t old_length,
                 std::span<const std::byte> replacement);

    friend bool operator==(const Block& a, const Block& b) {
        return a.m_size == b.m_size &&
               (a.m_size == 0 || std::memcmp(a.m_data, b.m_data, a.m_size) == 0);
    }

private:
    std::unique_ptr<std::byte[]> m_owned;
    std::byte* m_data = nullptr;
    std::size_t m_size = 0;
};

inline constexpr std::size_t kRecordHeaderSize = 16;
inline constexpr std::size_t kSubrecordHeaderSize = 8;
inline constexpr std::size_t kRecordSizeOffset = 4;

// The 32-bit little-endian value at `offset`, or nothing when it does not lie wholly
// inside the block. Defined here so that every record walk can inline it: it is read for
// every subrecord of every record. Always inlined: as a call, the optional comes back
// through memory, half written as a byte and read as a whole word, which stalls the
// processor on every subrecord of every pass.
[[gnu::always_inline]] inline std::optional<std::uint32_t> read_u32_le(const Block& block,
                                                                       std::size_t offset) {
    if (offset > block.size() || block.size() - offset < 4) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(block[offset]) |
           static_cast<std::uint32_t>(block[offset + 1]) << 8 |
           static_cast<std::uint32_t>(block[offset + 2]) << 16 |
           static_cast<std::uint32_t>(block[offset + 3]) << 24;
}

// Whether the four bytes at `offset` are exactly `tag`, a four-character tag without zero
// bytes: the answer comparing the text read there would give (a zero byte is left out of
// that text, so it never equals such a tag), without making a text. Every pass asks it for
// every record and subrecord.
inline bool tag_at(const Block& block, std::size_t offset, TextView tag) {
    return tag.size() == 4 && offset <= block.size() && block.size() - offset >= 4 &&
           std::memcmp(block.data() + offset, tag.data(), 4) == 0;
}

// Writes a 32-bit little-endian value; the four bytes must lie inside the block.
void write_u32_le(Block& block, std::size_t offset, std::uint32_t value);

// The block text read: the `count` bytes from `offset` on, in order, with every zero byte
// left out (a zero byte does not end the text). Bytes beyond the block's end are not
// there and are not read; a count of 0 or less gives the empty text.
Text read_text(const Block& block, std::size_t offset, std::int64_t count);

// The record tag: the text read of the first four bytes.
Text record_tag(const Block& block);

// The record's ID: the text of its first subrecord, whatever that subrecord's tag, read
// as a terminated text (its data size at offset 20, its data from offset 24).
Text record_id(const Block& block);

// A SKIL record's skill index: the signed 32-bit value at offset 24.
std::optional<std::int32_t> skill_index(const Block& block);

} // namespace orv
