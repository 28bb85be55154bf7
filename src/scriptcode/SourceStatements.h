#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/Result.h"
#include "platform/Text.h"

namespace orv::scriptcode {

struct ScriptFunction;

// A word or a double-quoted string of a source line: its bytes in the source, inside the
// quotes when quoted.
struct SourceToken {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool quoted = false;
};

// The statements of the source that become compiled code, in the order the compiler writes
// them. "begin" and the declarations of locals (short, long, float) compile to nothing and
// are not listed.
enum class SourceKind { Function, Set, If, ElseIf, Else, EndIf, While, EndWhile, Return, End };

struct SourceStatement {
    SourceKind kind = SourceKind::Function;
    // Counted from 1; lines end at LF.
    std::size_t line = 1;
    // For a function call: the function, its "ref->" reference if any, and its arguments.
    const ScriptFunction* function = nullptr;
    std::optional<SourceToken> reference;
    std::vector<SourceToken> arguments;
};

// Reads the statements of a script's source. A line holds one statement up to a ';' outside
// quotes; words are separated by spaces, tabs and commas (and parentheses, which only
// conditions use). Refuses, with a German message naming the line, a quote left open or a
// first word that is no keyword and no function of the language. A zero byte ends the
// source.
Result<std::vector<SourceStatement>> read_source(TextView source);

// The local variable `name` (ASCII case-insensitive) as compiled code names it: its type
// letter ('s' for short, 'l' for long, 'f' for float) and its 16-bit little-endian index,
// counted from 1 per type in the order the source declares them; nothing when the source
// declares no such local.
std::optional<Text> local_variable(TextView source, TextView name);

// The text of a token.
inline TextView token_text(TextView source, const SourceToken& token) {
    return source.substr(token.offset, token.length);
}

} // namespace orv::scriptcode
