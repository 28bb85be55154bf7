#pragma once

#include <cstddef>
#include <vector>

#include "platform/Text.h"

namespace orv {

// A stretch of a text box's text that the box shows highlighted, in the box's characters
// (see text_box_position).
// The background behind a mark, the same on both systems.
struct MarkColour {
    int red = 0;
    int green = 0;
    int blue = 0;
};
inline constexpr MarkColour kMarkBackground{255, 240, 150};

struct TextMark {
    std::size_t offset = 0;
    std::size_t length = 0;

    bool operator==(const TextMark&) const = default;
};

// Where byte `offset` of `text` lies in a text box, which holds each line break (CR LF, a
// lone CR or a lone LF) as one character and every other byte as one: both window backends
// count positions so.
inline std::size_t text_box_position(TextView text, std::size_t offset) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        // The LF of a CR LF is part of the break its CR began.
        if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) {
            ++position;
        }
    }
    return position;
}

// The box's mark for bytes [offset, offset + length) of `text`.
inline TextMark text_box_mark(TextView text, std::size_t offset, std::size_t length) {
    const std::size_t from = text_box_position(text, offset);
    return {from, text_box_position(text, offset + length) - from};
}

} // namespace orv
