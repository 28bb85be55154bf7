#include "scriptcode/Alignment.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "plugin/ResultScript.h"
#include "scriptcode/ScriptFunctions.h"

namespace orv::scriptcode {
namespace {

std::optional<SourceKind> control_kind(std::uint16_t opcode) {
    switch (opcode) {
    case kSetOpcode:
        return SourceKind::Set;
    case kIfOpcode:
        return SourceKind::If;
    case kElseIfOpcode:
        return SourceKind::ElseIf;
    case kElseOpcode:
        return SourceKind::Else;
    case kEndIfOpcode:
        return SourceKind::EndIf;
    case kWhileOpcode:
        return SourceKind::While;
    case kEndWhileOpcode:
        return SourceKind::EndWhile;
    case kReturnOpcode:
        return SourceKind::Return;
    case kEndOpcode:
        return SourceKind::End;
    default:
        return std::nullopt;
    }
}

std::uint32_t little_endian(TextView bytes) {
    std::uint32_t value = 0;
    for (std::size_t k = bytes.size(); k-- > 0;) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[k]);
    }
    return value;
}

// Whether a source word is the number the code holds in `bytes` for argument `letter`:
// whole numbers as the compiler reads them (the digits up to any decimal point, kept to the
// field's width), floating-point numbers as the nearest 32-bit value. Read without the
// locale, so a decimal point is always '.'.
bool same_number(TextView word, char letter, TextView bytes) {
    const char* first = word.data();
    const char* last = word.data() + word.size();
    if (first != last && *first == '+') {
        ++first;
    }
    if (letter == 'f') {
        float value = 0;
        const auto [end, error] = std::from_chars(first, last, value);
        if (error != std::errc{} || end != last) {
            return false;
        }
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return bits == little_endian(bytes);
    }
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end == first) {
        return false;
    }
    if (end != last) {
        // A decimal fraction, which a whole-number field drops.
        if (*end != '.' || std::any_of(end + 1, last, [](char c) { return c < '0' || c > '9'; })) {
            return false;
        }
    }
    const std::uint64_t mask = bytes.size() >= 8 ? ~0ull : (1ull << (8 * bytes.size())) - 1;
    return (static_cast<std::uint64_t>(value) & mask) == little_endian(bytes);
}

// What the compiler writes for an optional argument the source leaves out.
bool is_left_out(const Operand& operand) {
    return std::all_of(operand.value.begin(), operand.value.end(),
                       [](char byte) { return byte == '\0'; });
}

class Aligner {
public:
    Aligner(TextView source, std::vector<AlignedString>& strings)
        : m_source(source), m_strings(strings) {}

    Result<void> statement(const Statement& decoded, std::size_t index,
                           const SourceStatement& written) {
        m_line = written.line;
        if (const auto kind = control_kind(decoded.opcode)) {
            if (*kind != written.kind) {
                return mismatch(u8"der Code hat hier eine andere Anweisung.");
            }
            return {};
        }
        if (written.kind != SourceKind::Function || written.function->opcode != decoded.opcode) {
            return mismatch(u8"der Code ruft hier eine andere Funktion auf.");
        }
        if (decoded.reference.has_value() != written.reference.has_value() ||
            (decoded.reference &&
             !equal_ignoring_ascii_case(*decoded.reference,
                                        token_text(m_source, *written.reference)))) {
            return mismatch(u8"die Referenz vor der Funktion ist im Code eine andere.");
        }
        const ScriptFunction& function = *written.function;
        if (function.layout == Layout::MessageBox) {
            return message_box(decoded, index, written);
        }
        return plain_call(decoded, index, written, function);
    }

private:
    Error mismatch(std::u8string_view what) const {
        return Error{ErrorKind::Refused, 0,
                     cp1252(u8"Quelltext und kompilierter Code stimmen nicht überein, Zeile ") +
                         std::to_string(m_line) + ": " + cp1252(what)};
    }

    Result<void> text_operand(const Operand& operand, const SourceToken& token,
                              std::size_t statement, std::size_t index) {
        const TextView written = token_text(m_source, token);
        const bool is_name = operand.kind == OperandKind::ObjectId ||
                             operand.kind == OperandKind::Cell ||
                             operand.kind == OperandKind::Topic;
        const bool same =
            is_name ? equal_ignoring_ascii_case(operand.value, written) : operand.value == written;
        if (!same) {
            return mismatch(u8"ein Text steht im Code anders als im Quelltext.");
        }
        if (operand.kind == OperandKind::Cell) {
            m_strings.push_back({StringRole::Cell, statement, index, token});
        } else if (operand.kind == OperandKind::Topic) {
            m_strings.push_back({StringRole::Topic, statement, index, token});
        }
        return {};
    }

    Result<void> plain_call(const Statement& decoded, std::size_t statement,
                            const SourceStatement& written, const ScriptFunction& function) {
        Text letters;
        std::vector<bool> optional;
        for (const char letter : function.arguments) {
            if (letter == '?') {
                optional.back() = true;
            } else {
                letters += letter;
                optional.push_back(false);
            }
        }
        // Every operand but the trailing FF FF stands for one argument of the source.
        const std::size_t count =
            decoded.operands.size() - (function.layout == Layout::TrailingMinusOne ? 1 : 0);
        // The compiler writes an optional argument that the source leaves out as zero: a zero
        // number, an empty ID, no reset.
        std::size_t given = count;
        while (given > written.arguments.size() && given <= optional.size() &&
               optional[given - 1] && is_left_out(decoded.operands[given - 1])) {
            --given;
        }
        if (given != written.arguments.size()) {
            return mismatch(u8"der Code hat eine andere Zahl von Argumenten als der Quelltext.");
        }
        for (std::size_t k = 0; k < given; ++k) {
            const Operand& value = decoded.operands[k];
            const SourceToken& token = written.arguments[k];
            const TextView word = token_text(m_source, token);
            if (k >= letters.size()) {
                return mismatch(u8"der Code hat mehr Argumente, als die Funktion kennt.");
            }
            const char letter = letters[k];
            if (is_text(value.kind)) {
                if (auto checked = text_operand(value, token, statement, k); !checked) {
                    return checked;
                }
            } else if (letter == 'b' || letter == 's' || letter == 'l' || letter == 'f') {
                if (token.quoted || (!same_number(word, letter, value.value) &&
                                     !same_local(word, letter, value.value))) {
                    return mismatch(u8"eine Zahl steht im Code anders als im Quelltext "
                                    u8"(nur lokale Variablen gehen an Stelle einer Zahl mit "
                                    u8"vier Bytes).");
                }
            } else if (letter == 'x') {
                if (word.size() != 1 || (word[0] & ~0x20) != value.value[0]) {
                    return mismatch(u8"eine Achse steht im Code anders als im Quelltext.");
                }
            }
        }
        return {};
    }

    // The message, the variables (bare words), the buttons (quoted), in that order.
    Result<void> message_box(const Statement& decoded, std::size_t statement,
                             const SourceStatement& written) {
        const auto& arguments = written.arguments;
        const auto& operands = decoded.operands;
        if (arguments.empty() || !arguments[0].quoted) {
            return mismatch(u8"MessageBox ohne Text in Anführungszeichen.");
        }
        if (operands[0].value != token_text(m_source, arguments[0])) {
            return mismatch(u8"der Text der MessageBox steht im Code anders als im Quelltext.");
        }
        m_strings.push_back({StringRole::Message, statement, 0, arguments[0]});
        const std::size_t variables = static_cast<std::uint8_t>(operands[1].value[0]);
        std::size_t argument = 1;
        for (std::size_t k = 0; k < variables; ++k, ++argument) {
            if (argument >= arguments.size() || arguments[argument].quoted) {
                return mismatch(u8"die MessageBox hat im Code mehr Variablen als im Quelltext.");
            }
        }
        const std::size_t button_count_operand = 2 + variables;
        for (std::size_t operand = button_count_operand + 1; operand < operands.size();
             ++operand, ++argument) {
            if (argument >= arguments.size() || !arguments[argument].quoted) {
                return mismatch(u8"die MessageBox hat im Code andere Variablen oder Knöpfe "
                                u8"als im Quelltext.");
            }
            if (operands[operand].value != token_text(m_source, arguments[argument])) {
                return mismatch(
                    u8"ein Knopf der MessageBox steht im Code anders als im Quelltext.");
            }
            m_strings.push_back({StringRole::Button, statement, operand, arguments[argument]});
        }
        if (argument != arguments.size()) {
            return mismatch(u8"die MessageBox hat im Quelltext mehr Argumente als im Code.");
        }
        return {};
    }

    // Whether the four bytes of a number argument name the source's local `word`: its type
    // letter, its 16-bit index and a zero byte. The compiler writes a local there only where
    // the argument has four bytes.
    bool same_local(TextView word, char letter, TextView bytes) const {
        if (letter != 'f' && letter != 'l') {
            return false;
        }
        const auto local = local_variable(m_source, word);
        return local && bytes == *local + '\0';
    }

    TextView m_source;
    std::vector<AlignedString>& m_strings;
    std::size_t m_line = 0;
};

} // namespace

Result<std::vector<AlignedString>> align(const std::vector<Statement>& statements,
                                         const std::vector<SourceStatement>& source_statements,
                                         TextView source) {
    std::vector<AlignedString> strings;
    Aligner aligner(source, strings);
    const std::size_t common = std::min(statements.size(), source_statements.size());
    for (std::size_t index = 0; index < common; ++index) {
        if (auto checked = aligner.statement(statements[index], index, source_statements[index]);
            !checked) {
            return checked.error();
        }
    }
    if (statements.size() != source_statements.size()) {
        const std::size_t line =
            common < source_statements.size()
                ? source_statements[common].line
                : (source_statements.empty() ? 1 : source_statements.back().line);
        return Error{ErrorKind::Refused, 0,
                     cp1252(u8"Quelltext und kompilierter Code stimmen nicht überein: der "
                            u8"Quelltext hat ") +
                         std::to_string(source_statements.size()) + " Anweisungen, der Code " +
                         std::to_string(statements.size()) + " (ab Zeile " + std::to_string(line) +
                         ")."};
    }
    return strings;
}

} // namespace orv::scriptcode
