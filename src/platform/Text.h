#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orv {

// A text of the program: Windows-1252 bytes, one byte per character. Names, IDs, tags,
// database entries, status texts and messages are all held this way; conversion to
// Unicode happens only where a text leaves the program (window backend, batch tool).
// Lengths and limits count bytes. std::string compares its bytes as unsigned values, which
// is exactly the byte order the object lists sort by.
using Text = std::string;
using TextView = std::string_view;

// Converts Windows-1252 bytes to UTF-8. The five bytes that Windows-1252 leaves undefined
// (81, 8D, 8F, 90, 9D hex) become the control characters U+0081, U+008D, U+008F, U+0090
// and U+009D, so that every byte value survives a round trip.
std::string to_utf8(TextView text);
// The same, appended to `out`.
void append_utf8(std::string& out, TextView text);

// Converts UTF-8 to Windows-1252 bytes. Returns nothing for malformed UTF-8 or for a
// character that Windows-1252 cannot hold; nothing is ever replaced silently.
std::optional<Text> from_utf8(std::string_view utf8);

// The program's own texts are written as UTF-8 literals in the source; this turns one into
// Windows-1252. Every literal passed here must be representable (checked by the tests).
Text cp1252(std::u8string_view literal);

// Windows-1252 text in capital letters, as the program's message boxes show file names:
// a-z, the Latin-1 small letters E0 to FE hex (except the division sign F7) and the four
// small letters of the 80 to 9F range (s, oe and z with caron, y with diaeresis) become
// their capitals. The sharp s and the micro sign have no capital of one byte and stay.
Text to_upper_cp1252(TextView text);
// The same into `upper`, whose memory serves again: for a caller that turns many texts in a
// row.
void to_upper_cp1252(TextView text, Text& upper);

} // namespace orv
