#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Result.h"
#include "platform/Text.h"

namespace orv::scriptcode {

// Compiled code (a script's SCDT data) is binary; it is held in a string of bytes so that it
// splices into a record like every text.
using Code = std::string;
using CodeView = std::string_view;

// The statements of compiled code that are no function call. Every statement starts with a
// 16-bit little-endian opcode; there is no statement length, so the layout of each
// statement's operands decides where the next one starts.
inline constexpr std::uint16_t kEndOpcode = 0x0101;
// Target, then an expression (one byte of length and its bytes).
inline constexpr std::uint16_t kSetOpcode = 0x0105;
// One byte counting the statements of the block, then the condition as an expression.
inline constexpr std::uint16_t kIfOpcode = 0x0106;
// One byte counting the statements of the block.
inline constexpr std::uint16_t kElseOpcode = 0x0107;
inline constexpr std::uint16_t kElseIfOpcode = 0x0108;
inline constexpr std::uint16_t kEndIfOpcode = 0x0109;
inline constexpr std::uint16_t kWhileOpcode = 0x010A;
inline constexpr std::uint16_t kEndWhileOpcode = 0x010B;
// "ref->Function": one byte of length and the reference's ID, in front of the call, or in
// front of a set, if, elseif or while whose expression calls a function on the reference.
inline constexpr std::uint16_t kReferenceOpcode = 0x010C;
inline constexpr std::uint16_t kReturnOpcode = 0x0124;
// Opcodes from here up belong to a third-party script extender, whose code stores byte
// positions: a script holding any is never changed.
inline constexpr std::uint16_t kFirstExtensionOpcode = 0x3800;

// What an operand is, which also fixes how it is written.
enum class OperandKind : std::uint8_t {
    // Bytes of fixed meaning carried as they are: numbers, axis letters, the message box's
    // variable and button counts, the FF FF behind some calls.
    Fixed,
    // A variable of a message box or the target of a set: a local ('s', 'l' or 'f' and a
    // 16-bit index) or a global ('G', one byte of length and the name); a set's target may
    // also be another script's local ('m' or 'r', one byte of length, the script's or the
    // object's ID, and the local).
    Variable,
    // The number of statements in the block an if, elseif, else or while opens: one byte.
    BlockCount,
    // One byte of length and the text.
    ObjectId,
    Cell,
    Topic,
    ShortText,
    // Two bytes of length and the text.
    LongText,
    Message,
    // One byte holding the text's length plus one, the text and a zero byte.
    Button,
    // One byte of length and the expression's bytes (a condition or a set's value).
    Expression,
};

struct Operand {
    OperandKind kind = OperandKind::Fixed;
    // The text of a text operand; the bytes of every other one, without a length prefix.
    Text value;

    bool operator==(const Operand&) const = default;
};

struct Statement {
    std::uint16_t opcode = 0;
    // The reference of "ref->Function", when the call (or the expression) has one.
    std::optional<Text> reference;
    std::vector<Operand> operands;
    // Where the statement (with its reference) starts in the code.
    std::size_t offset = 0;

    bool operator==(const Statement&) const = default;
};

// Splits compiled code into statements. Succeeds only when the bytes split into exactly one
// sequence of whole statements that ends where the code ends and whose block counts match
// the nesting of if/elseif/else/endif and while/endwhile; otherwise refuses with a German
// message and the byte offset where the problem lies: an unknown opcode, extension code, a
// function whose arguments do not fit or whose layout is not known, bytes left over, more
// than one way to split, or block counts that disagree with the nesting.
Result<std::vector<Statement>> decode(CodeView code);

// The code of these statements; encode(decode(code)) == code for every code decode accepts.
// Refuses a text longer than its length field holds (255 bytes behind a one-byte length,
// 65,535 behind a two-byte one, 254 for a button), naming the limit.
Result<Code> encode(const std::vector<Statement>& statements);

// The longest text an operand of this kind can hold, in bytes.
std::size_t text_limit(OperandKind kind);

// Whether the operand holds a text (rather than numbers or an expression).
bool is_text(OperandKind kind);

} // namespace orv::scriptcode
