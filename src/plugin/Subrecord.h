#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "plugin/Block.h"

namespace orv {

// How a subrecord stores its text.
enum class TextKind {
    // The text and one zero byte, counted in the data size (NAME, FNAM, DNAM, ANAM).
    Terminated,
    // The text alone (STRV, TEXT, DESC, SCVR).
    Whole,
};

// A subrecord of a block: its header's offset within the block and its data size L.
// Only subrecords whose header and data lie wholly inside the block are ever handed out,
// so reading or replacing their data never leaves the block.
struct Subrecord {
    std::size_t offset = 0;
    std::uint32_t size = 0;

    std::size_t data_offset() const { return offset + kSubrecordHeaderSize; }
    std::size_t end() const { return data_offset() + size; }
};

// A subrecord search examines at most this many subrecords; a later one is never found.
inline constexpr int kSubrecordSearchLimit = 100;

// The walk over subrecords runs for every record in every pass, so its steps are defined
// here where they can be inlined.

// The subrecord whose header starts at `offset`, or nothing when its header or its data
// would run past the block's end.
inline std::optional<Subrecord> subrecord_at(const Block& block, std::size_t offset) {
    const auto size = read_u32_le(block, offset + 4);
    if (offset < kRecordHeaderSize || !size || offset + kSubrecordHeaderSize > block.size()) {
        return std::nullopt;
    }
    if (*size > block.size() - offset - kSubrecordHeaderSize) {
        return std::nullopt;
    }
    return Subrecord{offset, *size};
}

// The first subrecord of the record (at offset 16), or nothing.
inline std::optional<Subrecord> first_subrecord(const Block& block) {
    return subrecord_at(block, kRecordHeaderSize);
}

// The subrecord behind `current`, reading current's size field again because a
// replacement may have changed it; nothing at the end of the block or at a subrecord that
// runs past it. With first_subrecord this is the walk over all subrecords, without limit.
inline std::optional<Subrecord> next_subrecord(const Block& block, const Subrecord& current) {
    const auto size = read_u32_le(block, current.offset + 4);
    if (!size) {
        return std::nullopt;
    }
    return subrecord_at(block, current.offset + kSubrecordHeaderSize + *size);
}

// The four-character tag of a subrecord (zero bytes left out, as every text read).
Text subrecord_tag(const Block& block, const Subrecord& subrecord);

// The first subrecord among the first kSubrecordSearchLimit for which `matches(subrecord)`
// holds, walking up to the block's end. A subrecord whose data would run past the block's
// end is never found and ends the search.
template <typename Matches>
std::optional<Subrecord> find_subrecord_where(const Block& block, const Matches& matches) {
    auto subrecord = first_subrecord(block);
    for (int examined = 0; subrecord && examined < kSubrecordSearchLimit; ++examined) {
        if (matches(*subrecord)) {
            return subrecord;
        }
        subrecord = next_subrecord(block, *subrecord);
    }
    return std::nullopt;
}

// The subrecord search for a tag that is not four bytes without zeros: each subrecord's
// tag is compared as the text it reads as (zero bytes left out).
std::optional<Subrecord> find_subrecord_by_text(const Block& block, TextView tag);

// The subrecord search: the first subrecord tagged `tag` (byte for byte), as
// find_subrecord_where. Inline: the passes search every record, and the tag they search for
// is known where they call.
inline std::optional<Subrecord> find_subrecord(const Block& block, TextView tag) {
    // A four-character tag without zero bytes, as every tag searched for is, equals the text
    // read of four bytes exactly when the bytes are the tag's: a zero byte among them would
    // make the text shorter. Compared so, a search costs one comparison per subrecord.
    if (tag.size() != 4 || tag[0] == '\0' || tag[1] == '\0' || tag[2] == '\0' || tag[3] == '\0') {
        return find_subrecord_by_text(block, tag);
    }
    return find_subrecord_where(block, [&](const Subrecord& subrecord) {
        return std::memcmp(block.data() + subrecord.offset, tag.data(), 4) == 0;
    });
}

// The text of a subrecord: the first L - 1 data bytes of a terminated text, all L bytes of
// a whole text, with zero bytes left out.
Text subrecord_text(const Block& block, const Subrecord& subrecord, TextKind kind);

// The bytes subrecord_text() reads, zero bytes included, as a view into the block that
// holds as long as the block does not change.
TextView subrecord_bytes(const Block& block, const Subrecord& subrecord, TextKind kind);

// Replaces a subrecord's text by `replacement`. The whole byte range the text was read
// from is replaced (the first L - 1 data bytes of a terminated text, so its terminating
// byte stays behind the new text; all L bytes of a whole text), so inner zero bytes never
// survive as garbage. With d = replacement length - range length, the subrecord's size
// field becomes L + d and the record's data size field grows by d; later subrecords move
// by d. Returns d.
std::int64_t replace_subrecord_text(Block& block, const Subrecord& subrecord, TextKind kind,
                                    TextView replacement);

// The text splice: replaces `old_length` bytes at `offset` by `replacement`, moving
// everything behind them. Changes no size field; replace_subrecord_text is the caller
// that keeps them right.
void splice(Block& block, std::size_t offset, std::size_t old_length, TextView replacement);

} // namespace orv
