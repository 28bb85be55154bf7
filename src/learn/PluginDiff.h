#pragma once

#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/Text.h"

namespace orv {

// What happened to a translatable text between two versions of a plugin.
enum class TextChange { New, Removed, Changed };

// The word a change is listed with: "new", "removed", "text changed".
std::string_view text_change_word(TextChange change);

struct ChangedText {
    // The object list's label for a name ("NPC"), the text kind's for a text ("Dialog",
    // "Book text"): the labels of todo's lines.
    std::string_view kind;
    // The record's ID, a cell's name or grid position, a response's ID; a script text's
    // key is its response's ID, '#' and its number, as in todo's lines.
    Text key;
    TextChange change = TextChange::Changed;
    // The old text is empty for a new text, the new one for a removed text.
    Text old_text;
    Text new_text;

    bool operator==(const ChangedText&) const = default;
};

// The translatable texts (learn/RecordTexts.h) that are new in `newer`, gone from it or
// different there, records paired as versions of one file (same ID; an interior cell and
// a topic by name). The new file's order first, then what was removed in the old file's
// order. A file that cannot be split into records is refused with a German message that
// names it by `older_name` or `newer_name`.
Result<std::vector<ChangedText>> diff_plugins(ByteSpan older, ByteSpan newer, TextView older_name,
                                              TextView newer_name);

} // namespace orv
