#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Text.h"

namespace orv {

// One record of a loaded plugin, byte for byte as in the file: the 16-byte record header
// (tag, data size S, 8 bytes carried unchanged) followed by the subrecords. The block's
// length is its entry in the block size table; after loading it equals S + 16, and every
// change keeps it so.
using Block = std::vector<std::byte>;

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
