#include "plugin/Block.h"

#include <cassert>

namespace orv {

void write_u32_le(Block& block, std::size_t offset, std::uint32_t value) {
    assert(offset <= block.size() && block.size() - offset >= 4);
    for (int i = 0; i < 4; ++i) {
        block[offset + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * i));
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
