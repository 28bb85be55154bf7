#pragma once

#include <cstddef>
#include <optional>

#include "platform/Text.h"
#include "plugin/Block.h"

namespace orv {

// The long text of a record of one of kTextTargets' kinds (a book's text, a class's or
// race's description, ...).
struct LongText {
    // The index of its kind in kTextTargets.
    std::size_t target = 0;
    Text text;
};

// The long text `block` holds: nothing for a record of another kind or one without the text
// subrecord (an empty text is a text).
std::optional<LongText> long_text_of(const Block& block);

} // namespace orv
