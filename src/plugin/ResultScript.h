#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/Text.h"

namespace orv {

// What an argument of a script call names.
enum class ScriptArgumentKind : std::uint8_t {
    // Numbers, variables, object IDs, sound files: nothing a translation changes.
    Other,
    // A cell's name, looked up by the game when the line runs.
    Cell,
    // A dialogue topic's name.
    Topic,
    // A text the player reads.
    Text,
};

// A function of the game's script language with arguments that name a cell or a topic or
// that the player reads. The game matches function names without regard to ASCII case.
struct ScriptFunction {
    TextView name;
    // One letter per argument position: 'c' a cell, 't' a topic, 'x' a text, '-' other.
    TextView positions;
    // The kind of a quoted argument behind the listed positions; a bare one there is a
    // variable or a number (Other).
    ScriptArgumentKind later_quoted = ScriptArgumentKind::Other;
};

// The functions known to the reader, as data.
std::span<const ScriptFunction> script_functions();

// The function of that name (ASCII case-insensitive), or nothing.
const ScriptFunction* find_script_function(TextView name);

// One argument of a known function that is not Other.
struct ScriptArgument {
    ScriptArgumentKind kind = ScriptArgumentKind::Other;
    // The function's name as the table spells it.
    TextView function;
    // The argument's text in the script: inside the quotes when quoted.
    std::size_t offset = 0;
    std::size_t length = 0;
    bool quoted = false;
    // Counted from 1; a line ends at LF.
    std::size_t line = 1;

    bool operator==(const ScriptArgument&) const = default;
};

struct ScriptReading {
    std::vector<ScriptArgument> arguments;
    // Lines holding a double quote that is not closed on the line; nothing of such a line
    // is an argument.
    std::vector<std::size_t> unterminated_lines;
};

// Reads a script as lines of statements. A statement is one line up to a ';' outside
// quotes: optional "if", "elseif" or "while" and parentheses, an optional reference
// ("Something->"), the function name, then its arguments, separated by spaces, tabs and/or
// commas. An argument is a double-quoted string (spaces, commas and ';' inside) or a bare
// word. Arguments come in script order.
ScriptReading find_script_arguments(TextView script);
// The same into `reading`, whose lists are emptied first and keep their room: a caller
// reading many scripts allocates for the lists once.
void find_script_arguments(TextView script, ScriptReading& reading);

// The same reading without lists: `found` gets every argument in script order, and
// `unterminated`, when given, every line with an open quote.
using ArgumentVisitor = std::function<void(const ScriptArgument& argument)>;
void read_script(TextView script, const ArgumentVisitor& found,
                 const std::function<void(std::size_t line)>& unterminated = {});

// Case-insensitive comparison of ASCII letters, as the game compares IDs; other bytes
// compare as they are. Inline: the script reader asks it for every word of every line.
inline bool equal_ignoring_ascii_case(TextView left, TextView right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t k = 0; k < left.size(); ++k) {
        const char a = left[k];
        const char b = right[k];
        if (a != b && ((a | 0x20) != (b | 0x20) || (a | 0x20) < 'a' || (a | 0x20) > 'z')) {
            return false;
        }
    }
    return true;
}

struct ScriptRewrite {
    // The whole new script; empty when no argument changed.
    Text script;
    // How many arguments got a different text.
    int replaced = 0;
};

// Replaces every argument of `kind` for which `replace` returns a text; every other byte of
// the script stays. A bare argument whose new text holds a space, a tab or a comma gets
// double quotes. A new text holding a double quote, CR or LF cannot stand in a script and
// is not written. Lines with an open quote are left as they are.
ScriptRewrite
rewrite_script_arguments(TextView script, ScriptArgumentKind kind,
                         const std::function<std::optional<Text>(TextView argument)>& replace);

} // namespace orv
