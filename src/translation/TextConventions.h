#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace orv {

// The batch tool and the translation memory read and write UTF-8 text files of tab-separated
// fields, one record per line. Inside a field the four characters that would break that layout are
// escaped:
//   backslash -> "\\"   TAB -> "\t"   CR -> "\r"   LF -> "\n"
// so that any Windows-1252 text, including the program's own "\r" line breaks, survives a
// write and a read unchanged.

// Converts a Windows-1252 field to UTF-8 and escapes backslash, TAB, CR and LF.
// Example: escape_field("a\tb\\") == "a\\tb\\\\".
std::string escape_field(TextView cp1252);
// The same, appended to `out`.
void append_escaped_field(std::string& out, TextView cp1252);
// One line of a TSV file: the fields escaped, joined by TAB, ended by LF.
void append_escaped_line(std::string& out, std::initializer_list<TextView> fields);

// Reverses escape_field. Returns nothing for a backslash followed by anything other than
// '\\', 't', 'r' or 'n' or standing last in the field, for malformed UTF-8 and for a
// character that Windows-1252 cannot hold (a byte order mark included), and for a raw TAB,
// CR or LF, which a field holds only escaped; nothing is ever replaced silently.
std::optional<Text> unescape_field(std::string_view utf8);

// Why unescape_field refused `utf8`, as a German sentence: a raw CR inside the line, a bad
// escape, or a character Windows-1252 cannot hold.
Text field_problem(std::string_view utf8);

// Splits a line at each TAB. A line with n TABs has n + 1 fields, so an empty line is one
// empty field and a TAB at the end gives an empty last field. The views point into `line`.
std::vector<std::string_view> split_fields(std::string_view line);

// Splits a file's contents into lines at each LF. A last line without LF counts; the empty
// piece after a final LF is not a line, so an empty file has no lines. Files saved on Windows
// read the same: a byte order mark (EF BB BF) at the very start is skipped, and a CR directly
// before the LF, or last in the file, belongs to the line end, lines of either kind mixed.
// Any other CR stays in its line, where unescape_field refuses it (a CR in a field is written
// "\r"). The views point into `contents`.
std::vector<std::string_view> split_lines(std::string_view contents);

} // namespace orv
