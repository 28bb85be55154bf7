#include "scriptcode/CompiledCode.h"

#include <cstdio>

#include "scriptcode/ScriptFunctions.h"

namespace orv::scriptcode {
namespace {

// Reads compiled code without ever leaving it: each read either succeeds and advances or
// fails and leaves the position where it was.
class CodeReader {
public:
    CodeReader(CodeView code, std::size_t position) : m_code(code), m_position(position) {}

    std::optional<std::uint8_t> u8() {
        if (m_position >= m_code.size()) {
            return std::nullopt;
        }
        return static_cast<std::uint8_t>(m_code[m_position++]);
    }

    std::optional<std::uint16_t> u16() {
        if (m_code.size() - m_position < 2) {
            return std::nullopt;
        }
        const auto low = static_cast<std::uint8_t>(m_code[m_position]);
        const auto high = static_cast<std::uint8_t>(m_code[m_position + 1]);
        m_position += 2;
        return static_cast<std::uint16_t>(low | high << 8);
    }

    std::optional<Text> bytes(std::size_t count) {
        if (m_code.size() - m_position < count) {
            return std::nullopt;
        }
        Text result(m_code.substr(m_position, count));
        m_position += count;
        return result;
    }

    std::size_t position() const { return m_position; }

private:
    CodeView m_code;
    std::size_t m_position;
};

// One way a statement can be read at a position: the statement and where it ends.
struct Reading {
    Statement statement;
    std::size_t end = 0;
};

std::optional<Operand> read_prefixed_text(CodeReader& reader, OperandKind kind) {
    const auto length = kind == OperandKind::LongText || kind == OperandKind::Message
                            ? reader.u16()
                            : std::optional<std::uint16_t>(reader.u8());
    if (!length) {
        return std::nullopt;
    }
    auto text = reader.bytes(*length);
    if (!text) {
        return std::nullopt;
    }
    return Operand{kind, std::move(*text)};
}

std::optional<Operand> read_fixed(CodeReader& reader, std::size_t width) {
    auto bytes = reader.bytes(width);
    if (!bytes) {
        return std::nullopt;
    }
    return Operand{OperandKind::Fixed, std::move(*bytes)};
}

// A local ('s', 'l' or 'f' and a 16-bit index) or a global ('G', one byte of length, the
// name). A length of zero names nothing and is refused.
std::optional<Operand> read_variable(CodeReader& reader,
                                     std::optional<std::uint8_t> tag = std::nullopt) {
    if (!tag) {
        tag = reader.u8();
    }
    if (tag == 's' || tag == 'l' || tag == 'f') {
        auto index = reader.bytes(2);
        if (!index) {
            return std::nullopt;
        }
        return Operand{OperandKind::Variable, static_cast<char>(*tag) + *index};
    }
    if (tag == 'G') {
        const auto length = reader.u8();
        if (!length || *length == 0) {
            return std::nullopt;
        }
        auto name = reader.bytes(*length);
        if (!name) {
            return std::nullopt;
        }
        return Operand{OperandKind::Variable, Text("G") + static_cast<char>(*length) + *name};
    }
    return std::nullopt;
}

// The target of a set, which may also be another script's local: 'm' (named by the script)
// or 'r' (named by an object that runs it), one byte of length and the name, the local's
// type letter and its 16-bit index.
std::optional<Operand> read_set_target(CodeReader& reader) {
    const auto tag = reader.u8();
    if (tag != 'm' && tag != 'r') {
        return read_variable(reader, tag);
    }
    const auto length = reader.u8();
    if (!length || *length == 0) {
        return std::nullopt;
    }
    auto name = reader.bytes(*length);
    const auto type = reader.u8();
    auto index = reader.bytes(2);
    if (!name || (type != 's' && type != 'l' && type != 'f') || !index) {
        return std::nullopt;
    }
    return Operand{OperandKind::Variable, Text(1, static_cast<char>(*tag)) +
                                              static_cast<char>(*length) + *name +
                                              static_cast<char>(*type) + *index};
}

std::optional<Operand> read_argument(CodeReader& reader, char letter) {
    switch (letter) {
    case 'b':
    case 'x':
    case 'E':
    case 'r':
        return read_fixed(reader, 1);
    case 's':
    case 'e':
    case 'a':
        return read_fixed(reader, 2);
    case 'l':
    case 'f':
        return read_fixed(reader, 4);
    case 'n':
        return read_prefixed_text(reader, OperandKind::ObjectId);
    case 'c':
        return read_prefixed_text(reader, OperandKind::Cell);
    case 't':
        return read_prefixed_text(reader, OperandKind::Topic);
    case 'w':
        return read_prefixed_text(reader, OperandKind::ShortText);
    case 'W':
        return read_prefixed_text(reader, OperandKind::LongText);
    default:
        return std::nullopt;
    }
}

// The message box: the message with two bytes of length, one byte counting the variables
// and the variables, one byte counting the buttons and the buttons.
std::optional<Statement> read_message_box(CodeReader& reader, Statement statement) {
    auto message = read_prefixed_text(reader, OperandKind::Message);
    const auto variable_count = reader.u8();
    if (!message || !variable_count) {
        return std::nullopt;
    }
    statement.operands.push_back(std::move(*message));
    statement.operands.push_back({OperandKind::Fixed, Text(1, static_cast<char>(*variable_count))});
    for (int k = 0; k < *variable_count; ++k) {
        auto variable = read_variable(reader);
        if (!variable) {
            return std::nullopt;
        }
        statement.operands.push_back(std::move(*variable));
    }
    const auto button_count = reader.u8();
    if (!button_count) {
        return std::nullopt;
    }
    statement.operands.push_back({OperandKind::Fixed, Text(1, static_cast<char>(*button_count))});
    for (int k = 0; k < *button_count; ++k) {
        const auto stored = reader.u8();
        if (!stored || *stored == 0) {
            return std::nullopt;
        }
        auto text = reader.bytes(*stored - 1u);
        const auto terminator = reader.u8();
        if (!text || terminator != 0) {
            return std::nullopt;
        }
        statement.operands.push_back({OperandKind::Button, std::move(*text)});
    }
    return statement;
}

// Every way the arguments `letters` can be read from the reader's position on: an optional
// argument may be the first one left out, and then every one behind it is too.
void read_arguments(CodeReader reader, TextView letters, const Statement& so_far,
                    const ScriptFunction& function, std::vector<Reading>& out) {
    if (letters.empty()) {
        Statement statement = so_far;
        if (function.layout == Layout::TrailingMinusOne) {
            const auto trailer = reader.u16();
            if (trailer != 0xFFFF) {
                return;
            }
            statement.operands.push_back({OperandKind::Fixed, "\xFF\xFF"});
        }
        out.push_back({std::move(statement), reader.position()});
        return;
    }
    const bool optional = letters.size() > 1 && letters[1] == '?';
    if (optional) {
        read_arguments(reader, TextView{}, so_far, function, out);
    }
    auto argument = read_argument(reader, letters[0]);
    if (!argument) {
        return;
    }
    Statement statement = so_far;
    statement.operands.push_back(std::move(*argument));
    read_arguments(reader, letters.substr(optional ? 2 : 1), statement, function, out);
}

// Why nothing could be read at a position.
enum class Failure { None, Truncated, UnknownOpcode, Extension, UnknownLayout, ArgumentsDoNotFit };

struct Readings {
    std::vector<Reading> readings;
    Failure failure = Failure::None;
    std::uint16_t opcode = 0;
};

// A control-flow statement's operands, or nothing for a function call.
std::optional<TextView> control_operands(std::uint16_t opcode) {
    switch (opcode) {
    case kEndOpcode:
    case kEndIfOpcode:
    case kEndWhileOpcode:
    case kReturnOpcode:
        return TextView{};
    case kElseOpcode:
        return TextView{"C"};
    case kIfOpcode:
    case kElseIfOpcode:
    case kWhileOpcode:
        return TextView{"CX"};
    case kSetOpcode:
        return TextView{"VX"};
    default:
        return std::nullopt;
    }
}

std::optional<Reading> read_control(CodeReader reader, std::uint16_t opcode, TextView parts,
                                    std::size_t offset) {
    Statement statement{opcode, std::nullopt, {}, offset};
    for (const char part : parts) {
        std::optional<Operand> operand;
        if (part == 'C') {
            const auto count = reader.u8();
            if (count) {
                operand = Operand{OperandKind::BlockCount, Text(1, static_cast<char>(*count))};
            }
        } else if (part == 'V') {
            operand = read_set_target(reader);
        } else {
            operand = read_prefixed_text(reader, OperandKind::Expression);
        }
        if (!operand) {
            return std::nullopt;
        }
        statement.operands.push_back(std::move(*operand));
    }
    return Reading{std::move(statement), reader.position()};
}

Readings readings_at(CodeView code, std::size_t offset) {
    Readings result;
    CodeReader reader(code, offset);
    auto opcode = reader.u16();
    if (!opcode) {
        result.failure = Failure::Truncated;
        return result;
    }
    std::optional<Text> reference;
    if (*opcode == kReferenceOpcode) {
        auto name = read_prefixed_text(reader, OperandKind::ObjectId);
        opcode = reader.u16();
        if (!name || !opcode) {
            result.failure = Failure::Truncated;
            return result;
        }
        reference = std::move(name->value);
    }
    result.opcode = *opcode;
    if (*opcode >= kFirstExtensionOpcode) {
        result.failure = Failure::Extension;
        return result;
    }
    if (const auto parts = control_operands(*opcode)) {
        // A reference stands in front of a function call, or in front of a statement whose
        // expression calls a function on it ("if ( ref->GetItemCount ... )", "set x to
        // ref->GetPos X"): the expression itself then names no reference.
        if (reference && parts->find('X') == TextView::npos) {
            result.failure = Failure::ArgumentsDoNotFit;
            return result;
        }
        if (auto reading = read_control(reader, *opcode, *parts, offset)) {
            reading->statement.reference = std::move(reference);
            result.readings.push_back(std::move(*reading));
        } else {
            result.failure = Failure::ArgumentsDoNotFit;
        }
        return result;
    }
    const ScriptFunction* function = function_by_opcode(*opcode);
    if (!function) {
        result.failure = Failure::UnknownOpcode;
        return result;
    }
    Statement statement{*opcode, std::move(reference), {}, offset};
    switch (function->layout) {
    case Layout::Unknown:
        result.failure = Failure::UnknownLayout;
        return result;
    case Layout::MessageBox:
        if (auto message_box = read_message_box(reader, std::move(statement))) {
            result.readings.push_back({std::move(*message_box), reader.position()});
        }
        break;
    case Layout::Plain:
    case Layout::TrailingMinusOne:
        read_arguments(reader, function->arguments, statement, *function, result.readings);
        break;
    }
    if (result.readings.empty()) {
        result.failure = Failure::ArgumentsDoNotFit;
    }
    return result;
}

Error refusal(std::size_t offset, Text message) {
    return Error{ErrorKind::Refused, offset, std::move(message)};
}

Text hex_opcode(std::uint16_t opcode) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%04X", opcode);
    return buffer;
}

// The keyword of a statement that is no function call, or nothing.
const char* keyword_of(std::uint16_t opcode) {
    switch (opcode) {
    case kEndOpcode:
        return "end";
    case kSetOpcode:
        return "set";
    case kIfOpcode:
        return "if";
    case kElseOpcode:
        return "else";
    case kElseIfOpcode:
        return "elseif";
    case kEndIfOpcode:
        return "endif";
    case kWhileOpcode:
        return "while";
    case kEndWhileOpcode:
        return "endwhile";
    case kReturnOpcode:
        return "return";
    default:
        return nullptr;
    }
}

Text function_name(std::uint16_t opcode) {
    if (const char* keyword = keyword_of(opcode)) {
        return keyword;
    }
    const ScriptFunction* function = function_by_opcode(opcode);
    return function ? Text(function->name) : hex_opcode(opcode);
}

Error failure_message(CodeView code, std::size_t offset, const Readings& readings) {
    const Text where = " (Byte " + std::to_string(offset) + ").";
    switch (readings.failure) {
    case Failure::Truncated:
        return refusal(offset, cp1252(u8"Nach dem letzten vollständigen Befehl bleiben ") +
                                   std::to_string(code.size() - offset) + cp1252(u8" Bytes übrig") +
                                   where);
    case Failure::UnknownOpcode:
        return refusal(offset, "Unbekannter Befehlscode " + hex_opcode(readings.opcode) + where);
    case Failure::Extension:
        return refusal(offset, cp1252(u8"Das Skript enthält Code einer Skripterweiterung ") +
                                   "(Befehlscode " + hex_opcode(readings.opcode) +
                                   cp1252(u8"); es wird nicht verändert") + where);
    case Failure::UnknownLayout:
        return refusal(offset, "Die Ablage der Argumente von " + function_name(readings.opcode) +
                                   " ist nicht sicher bekannt" + where);
    case Failure::ArgumentsDoNotFit:
    case Failure::None:
        break;
    }
    return refusal(offset, "Die Argumente von " + function_name(readings.opcode) +
                               " passen nicht zum Code" + where);
}

// Which statement may end the block that `opener` opens.
bool ends_block_of(std::uint16_t closer, std::uint16_t opener) {
    if (opener == kWhileOpcode) {
        return closer == kEndWhileOpcode;
    }
    if (opener == kElseOpcode) {
        return closer == kEndIfOpcode;
    }
    return closer == kElseIfOpcode || closer == kElseOpcode || closer == kEndIfOpcode;
}

// Checks every block count against the nesting: the count of an if, elseif, else or while
// is the number of statements between it and the elseif, else, endif or endwhile that ends
// its block. An elseif or else ends one block and opens the next.
Result<void> check_blocks(const std::vector<Statement>& statements) {
    std::vector<std::size_t> open;
    for (std::size_t index = 0; index < statements.size(); ++index) {
        const Statement& statement = statements[index];
        const std::uint16_t opcode = statement.opcode;
        const bool closes = opcode == kElseIfOpcode || opcode == kElseOpcode ||
                            opcode == kEndIfOpcode || opcode == kEndWhileOpcode;
        if (closes) {
            if (open.empty() || !ends_block_of(opcode, statements[open.back()].opcode)) {
                return refusal(statement.offset, Text("Ein ") + keyword_of(opcode) +
                                                     " ohne passenden Anfang (Byte " +
                                                     std::to_string(statement.offset) + ").");
            }
            const Statement& opener = statements[open.back()];
            const auto count = static_cast<std::uint8_t>(opener.operands.front().value[0]);
            if (count != index - open.back() - 1) {
                return refusal(opener.offset, cp1252(u8"Die Zahl der Befehle im Block eines ") +
                                                  keyword_of(opener.opcode) + " (" +
                                                  std::to_string(count) +
                                                  ") passt nicht zum Code (Byte " +
                                                  std::to_string(opener.offset) + ").");
            }
            open.pop_back();
        }
        if (opcode == kIfOpcode || opcode == kElseIfOpcode || opcode == kElseOpcode ||
            opcode == kWhileOpcode) {
            open.push_back(index);
        }
    }
    if (!open.empty()) {
        const Statement& opener = statements[open.back()];
        return refusal(opener.offset, Text("Ein ") + keyword_of(opener.opcode) +
                                          " ohne Ende (Byte " + std::to_string(opener.offset) +
                                          ").");
    }
    return {};
}

void append_u16(Code& code, std::size_t value) {
    code += static_cast<char>(value & 0xFF);
    code += static_cast<char>(value >> 8 & 0xFF);
}

} // namespace

std::size_t text_limit(OperandKind kind) {
    switch (kind) {
    case OperandKind::LongText:
    case OperandKind::Message:
        return 65535;
    case OperandKind::Button:
        return 254;
    default:
        return 255;
    }
}

bool is_text(OperandKind kind) {
    switch (kind) {
    case OperandKind::ObjectId:
    case OperandKind::Cell:
    case OperandKind::Topic:
    case OperandKind::ShortText:
    case OperandKind::LongText:
    case OperandKind::Message:
    case OperandKind::Button:
        return true;
    default:
        return false;
    }
}

Result<std::vector<Statement>> decode(CodeView code) {
    // ways[p]: how many ways the bytes from p on split into whole statements, counted up to
    // two (more makes no difference). Filled from the end backwards.
    std::vector<std::uint8_t> ways(code.size() + 1, 0);
    ways[code.size()] = 1;
    for (std::size_t offset = code.size(); offset-- > 0;) {
        unsigned total = 0;
        for (const Reading& reading : readings_at(code, offset).readings) {
            total += ways[reading.end];
        }
        ways[offset] = static_cast<std::uint8_t>(total > 2 ? 2 : total);
    }
    if (ways[0] == 2) {
        return refusal(0,
                       cp1252(u8"Der Code lässt sich auf mehr als eine Weise in Befehle teilen."));
    }
    std::vector<Statement> statements;
    std::size_t offset = 0;
    while (offset < code.size()) {
        Readings here = readings_at(code, offset);
        const Reading* next = nullptr;
        for (const Reading& reading : here.readings) {
            if (ways[reading.end] > 0) {
                next = &reading;
                break;
            }
        }
        if (!next) {
            if (here.readings.empty()) {
                return failure_message(code, offset, here);
            }
            // No reading here leads to the end: follow the first one to find where the code
            // stops making sense.
            next = &here.readings.front();
        }
        statements.push_back(next->statement);
        offset = next->end;
    }
    // Reaching the end means the statements read form a whole split, which ways[0] counted:
    // when there is none, the walk above has returned where the code stops making sense.
    if (auto blocks = check_blocks(statements); !blocks) {
        return blocks.error();
    }
    return statements;
}

Result<Code> encode(const std::vector<Statement>& statements) {
    Code code;
    for (const Statement& statement : statements) {
        if (statement.reference) {
            if (statement.reference->size() > 255) {
                return refusal(code.size(), cp1252(u8"Eine Referenz ist länger als 255 Bytes."));
            }
            append_u16(code, kReferenceOpcode);
            code += static_cast<char>(statement.reference->size());
            code += *statement.reference;
        }
        append_u16(code, statement.opcode);
        for (const Operand& operand : statement.operands) {
            const std::size_t length = operand.value.size();
            if ((is_text(operand.kind) || operand.kind == OperandKind::Expression) &&
                length > text_limit(operand.kind)) {
                return refusal(code.size(),
                               "Ein Text hat " + std::to_string(length) +
                                   cp1252(u8" Bytes; sein Längenfeld fasst höchstens ") +
                                   std::to_string(text_limit(operand.kind)) + ".");
            }
            switch (operand.kind) {
            case OperandKind::LongText:
            case OperandKind::Message:
                append_u16(code, length);
                code += operand.value;
                break;
            case OperandKind::Button:
                code += static_cast<char>(length + 1);
                code += operand.value;
                code += '\0';
                break;
            case OperandKind::ObjectId:
            case OperandKind::Cell:
            case OperandKind::Topic:
            case OperandKind::ShortText:
            case OperandKind::Expression:
                code += static_cast<char>(length);
                code += operand.value;
                break;
            case OperandKind::Fixed:
            case OperandKind::Variable:
            case OperandKind::BlockCount:
                code += operand.value;
                break;
            }
        }
    }
    return code;
}

} // namespace orv::scriptcode
