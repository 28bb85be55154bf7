#include "plugin/Subrecord.h"

#include <cassert>
#include <cstring>

namespace orv {

Text subrecord_tag(const Block& block, const Subrecord& subrecord) {
    return read_text(block, subrecord.offset, 4);
}

namespace {

// Whether the subrecord's tag, read as every text is (zero bytes left out), equals `tag`;
// compared in place, without making a text of it.
bool tag_equals(const Block& block, const Subrecord& subrecord, TextView tag) {
    std::size_t matched = 0;
    for (std::size_t i = subrecord.offset; i < subrecord.offset + 4; ++i) {
        const auto byte = static_cast<char>(block[i]);
        if (byte == '\0') {
            continue;
        }
        if (matched == tag.size() || tag[matched] != byte) {
            return false;
        }
        ++matched;
    }
    return matched == tag.size();
}

} // namespace

std::optional<Subrecord> find_subrecord_by_text(const Block& block, TextView tag) {
    return find_subrecord_where(
        block, [&](const Subrecord& subrecord) { return tag_equals(block, subrecord, tag); });
}

namespace {

std::size_t text_range_length(const Subrecord& subrecord, TextKind kind) {
    if (kind == TextKind::Whole) {
        return subrecord.size;
    }
    return subrecord.size == 0 ? 0 : subrecord.size - 1;
}

} // namespace

Text subrecord_text(const Block& block, const Subrecord& subrecord, TextKind kind) {
    return read_text(block, subrecord.data_offset(),
                     static_cast<std::int64_t>(text_range_length(subrecord, kind)));
}

TextView subrecord_bytes(const Block& block, const Subrecord& subrecord, TextKind kind) {
    return TextView(reinterpret_cast<const char*>(block.data() + subrecord.data_offset()),
                    text_range_length(subrecord, kind));
}

std::int64_t replace_subrecord_text(Block& block, const Subrecord& subrecord, TextKind kind,
                                    TextView replacement) {
    assert(subrecord.end() <= block.size());
    const std::size_t range = text_range_length(subrecord, kind);
    const auto difference =
        static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(range);
    const auto record_size = read_u32_le(block, kRecordSizeOffset).value_or(0);
    splice(block, subrecord.data_offset(), range, replacement);
    // Sizes wrap modulo 2^32 like the 32-bit fields they are stored in.
    write_u32_le(block, subrecord.offset + 4,
                 static_cast<std::uint32_t>(subrecord.size + difference));
    write_u32_le(block, kRecordSizeOffset, static_cast<std::uint32_t>(record_size + difference));
    return difference;
}

void splice(Block& block, std::size_t offset, std::size_t old_length, TextView replacement) {
    block.replace(offset, old_length,
                  {reinterpret_cast<const std::byte*>(replacement.data()), replacement.size()});
}

} // namespace orv
