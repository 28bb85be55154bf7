#pragma once

#include <cstddef>
#include <vector>

#include "platform/Result.h"
#include "platform/Text.h"
#include "scriptcode/CompiledCode.h"
#include "scriptcode/SourceStatements.h"

namespace orv::scriptcode {

// What a string of a script that the player reads or that names something is.
enum class StringRole { Message, Button, Topic, Cell };

// A string that stands both in the compiled code and in the source.
struct AlignedString {
    StringRole role = StringRole::Message;
    // Where it is in the decoded statements.
    std::size_t statement = 0;
    std::size_t operand = 0;
    // Where it is in the source.
    SourceToken token;
};

// Checks that the decoded statements are the source's statements, one to one and in order:
// the same kind, the same function (or one sharing its opcode) with the same reference, as
// many arguments, numbers where the code holds numbers (of the same value), and every string
// of the code equal to the source's text (IDs, cells and topics without regard to ASCII
// case, since the compiler writes the record's spelling; other texts byte for byte).
// Returns the message texts and buttons, topics and cells in script order, or refuses with a
// German message naming the source line.
Result<std::vector<AlignedString>> align(const std::vector<Statement>& statements,
                                         const std::vector<SourceStatement>& source_statements,
                                         TextView source);

} // namespace orv::scriptcode
