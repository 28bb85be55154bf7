#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace orv {

// The edge between the program's Windows-1252 texts and the UTF-16 of the "W" functions.
// The five bytes Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D hex) become U+0081 etc.
// and come back as those bytes; a character Windows-1252 cannot hold converts to nothing.
std::wstring to_wide(TextView text);
std::optional<Text> from_wide(std::wstring_view text);

// A message or text-box text with every lone CR, lone LF or CR LF as CR LF, the line break
// of Windows' edit controls and message boxes.
std::wstring with_crlf(TextView text);
std::wstring with_crlf(std::wstring_view wide);

// A text shown as written: Windows takes "&" for a mnemonic marker. (Menu texts carry
// their mnemonics and are taken as they are.)
std::wstring without_mnemonics(TextView text);

} // namespace orv
