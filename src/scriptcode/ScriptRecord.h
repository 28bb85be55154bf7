#pragma once

#include <vector>

#include "platform/Result.h"
#include "platform/Text.h"
#include "plugin/Block.h"
#include "scriptcode/Alignment.h"

namespace orv::scriptcode {

// A script record (SCPT) holds a header (SCHD: the script's name in its first 32 bytes, the
// compiled size as a 32-bit little-endian value at byte 44), the source (SCTX) and the
// compiled code (SCDT) that the game runs.
inline constexpr std::size_t kHeaderNameLength = 32;
inline constexpr std::size_t kHeaderCodeSizeOffset = 44;

// A string of a script that a translation may change.
struct ScriptString {
    // Counted from 1 in script order; stable as long as the script is not recompiled.
    int number = 0;
    StringRole role = StringRole::Message;
    Text text;
    // Where its text stands in the source (inside the quotes when quoted).
    std::size_t source_offset = 0;
};

struct ScriptStrings {
    Text id;
    std::vector<ScriptString> strings;
};

// The script's ID: its header's name field up to the first zero byte; empty without one.
Text script_id(const Block& record);

// The strings of a script whose compiled code decodes without doubt and agrees with its
// source statement by statement; refuses with a German message why not (no header, no
// source or code, a header size other than the code's length, a decoder refusal, a
// disagreement with the source).
Result<ScriptStrings> read_script_strings(const Block& record);

// A message box text of a script whose code says otherwise than its source.
struct SpecifierDisagreement {
    // The source line of the message box, and the text's place in it: 1 the message, 2 on
    // its buttons.
    std::size_t line = 0;
    std::size_t text = 0;
    // What replacement_problem says of the code's text (which the game shows) in place of
    // the source's.
    Text problem;
};

// For a script whose source and code disagree (so read_script_strings refuses it): each
// message box text and button whose format specifiers in the code differ in number from
// the source's, statement by statement as far as both go. Source and code must agree on
// every string, and a plugin changed by hand or by another program may have changed only
// one of them. Empty when the code does not decode or the source cannot be read.
std::vector<SpecifierDisagreement> specifier_disagreements(const Block& record);

struct StringReplacement {
    int number = 0;
    Text text;
};

// The record with those strings replaced in the source and in the compiled code, with
// every length they affect recomputed (the string's own length field, the header's code
// size, the sizes of both subrecords and of the record). The new record is read again and
// must give the same statements and block structure with exactly the new strings; on any
// refusal the caller keeps the record as it is. A replacement is refused with a German
// message when replacement_problem objects to it or its number names no string.
Result<Block> replace_script_strings(const Block& record,
                                     const std::vector<StringReplacement>& replacements);

} // namespace orv::scriptcode
