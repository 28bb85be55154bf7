#pragma once

#include <optional>

#include "platform/Text.h"
#include "scriptcode/Alignment.h"

namespace orv::scriptcode {

// The printf-style format specifiers of a message: '%', then any of the flags "-+ #0", a
// width, a '.' and a precision, and one conversion letter (d i o u x X e E f F g G a A c s
// p) or a second '%'. The game fills them in order from the message box's variables, so a
// translation must keep their number. A '%' that starts none of them is plain text.
int count_format_specifiers(TextView text);

// Why `text` cannot stand in place of `original` as far as their format specifiers go, as a
// German message, or nothing when both have as many.
std::optional<Text> specifier_problem(TextView original, TextView text);

// Why `replacement` cannot stand where `original` of that role stands, as a German message,
// or nothing when it can: a text longer than its length field allows (65,535 bytes for a
// message, 254 for a button, whose length byte counts its zero byte too, 255 for a topic or
// a cell), a different number of format specifiers, or a double quote, line break or zero
// byte, which the source cannot hold inside a string.
std::optional<Text> replacement_problem(StringRole role, TextView original, TextView replacement);

} // namespace orv::scriptcode
