#pragma once

#include <string>
#include <vector>

#include "platform/Text.h"

namespace orv {

// Letters and digits make words: ASCII ones, and the Latin letters of Windows-1252 from
// C0 hex up (but for the multiplication and division signs).
bool is_word_byte(unsigned char byte);

// The distinct words of a text, case-folded as the row filter folds them, in order of first
// appearance; every byte that is no letter or digit ends a word.
std::vector<std::string> distinct_words(TextView text);

} // namespace orv
