#pragma once

// Hand-built compiled code and script records for the tests: the bytes of each operand
// written out here, independently of the encoder under test.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "plugin/Block.h"
#include "scriptcode/CompiledCode.h"

namespace orv::scriptcode::test {

// A 16-bit little-endian value (an opcode, a message's length).
inline std::string u16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}
// One byte.
inline std::string u8(unsigned value) {
    return std::string(1, static_cast<char>(value));
}
// A 32-bit float, little-endian.
std::string f32(float value);
// One byte of length and the text (IDs, cells, topics, short texts, expressions).
inline std::string short_text(std::string_view text) {
    return u8(static_cast<unsigned>(text.size())) + std::string(text);
}
// Two bytes of length and the text.
inline std::string long_text(std::string_view text) {
    return u16(static_cast<unsigned>(text.size())) + std::string(text);
}
// A message box button: its length plus one, the text, a zero byte.
inline std::string button(std::string_view text) {
    return short_text(std::string(text) + std::string(1, '\0'));
}
// A local variable: its type letter and 16-bit index.
inline std::string local(char type, unsigned index) {
    return std::string(1, type) + u16(index);
}

// A script record: SCHD (the ID in 32 bytes, zero counts, the code size at byte 44 — or
// `stated_size` when given — and a zero variable size), SCTX and SCDT.
Bytes script_record(std::string_view id, std::string_view source, std::string_view code,
                    std::int64_t stated_size = -1);

// Writes a script's source and its compiled code side by side, statement by statement, as
// the compiler would: each call adds one source line and the matching code.
class ScriptWriter {
public:
    // "MessageBox "text" var... "button"...": the variables are short locals numbered from 1
    // in the order given.
    void message_box(std::string_view text, const std::vector<std::string>& variables,
                     const std::vector<std::string>& buttons);
    void add_topic(std::string_view topic, bool quoted = true);
    void position_cell(float x, std::string_view cell);
    void reference_call(std::string_view reference, std::string_view item, int count);
    void set_local(std::string_view name, unsigned index, std::string_view expression_bytes);
    // Opens a block: "if ( condition )" or "while ( condition )" with the expression's code
    // bytes; end_block closes the innermost one, else_block and elseif_block continue it.
    void open_if(std::string_view condition, std::string_view expression_bytes);
    void elseif_block(std::string_view condition, std::string_view expression_bytes);
    void else_block();
    void open_while(std::string_view condition, std::string_view expression_bytes);
    void end_block();
    void end();

    const std::string& source() const { return m_source; }
    const std::string& code() const { return m_code; }

private:
    void line(std::string_view text);
    void statement(std::string_view bytes);
    // A line "<keyword> ( condition )" and its statement, which opens a block.
    void open(std::string_view keyword, unsigned opcode, std::string_view condition,
              std::string_view expression_bytes, bool is_while);
    void close_count();

    struct Open {
        std::size_t count_offset;
        int first_statement;
        bool is_while;
    };
    std::string m_source;
    std::string m_code;
    int m_statements = 0;
    std::vector<Open> m_open;
};

} // namespace orv::scriptcode::test
