#include "ScriptSamples.h"

#include <cassert>
#include <cstring>

#include "fixtures/PluginBuilder.h"

namespace orv::scriptcode::test {

std::string f32(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return u16(bits & 0xFFFF) + u16(bits >> 16);
}

Bytes script_record(std::string_view id, std::string_view source, std::string_view code,
                    std::int64_t stated_size) {
    std::string header(52, '\0');
    header.replace(0, id.size(), id);
    const auto size = static_cast<std::uint32_t>(stated_size < 0 ? code.size() : stated_size);
    header.replace(44, 4, u16(size & 0xFFFF) + u16(size >> 16));
    return fixtures::RecordBuilder("SCPT")
        .raw("SCHD", header)
        .raw("SCVR", std::string("count\0", 6))
        .raw("SCDT", code)
        .raw("SCTX", source)
        .bytes();
}

void ScriptWriter::line(std::string_view text) {
    m_source.append(text);
    m_source.append("\r\n");
}

void ScriptWriter::statement(std::string_view bytes) {
    m_code.append(bytes);
    ++m_statements;
}

void ScriptWriter::message_box(std::string_view text, const std::vector<std::string>& variables,
                               const std::vector<std::string>& buttons) {
    std::string source = "MessageBox \"" + std::string(text) + "\"";
    std::string code = u16(0x1000) + long_text(text) + u8(static_cast<unsigned>(variables.size()));
    unsigned index = 1;
    for (const auto& variable : variables) {
        source += " " + variable;
        code += local('s', index++);
    }
    code += u8(static_cast<unsigned>(buttons.size()));
    for (const auto& text_of_button : buttons) {
        source += " \"" + text_of_button + "\"";
        code += button(text_of_button);
    }
    line(source);
    statement(code);
}

void ScriptWriter::add_topic(std::string_view topic, bool quoted) {
    line(quoted ? "AddTopic \"" + std::string(topic) + "\"" : "AddTopic " + std::string(topic));
    statement(u16(0x1022) + short_text(topic));
}

void ScriptWriter::position_cell(float x, std::string_view cell) {
    line("PositionCell " + std::to_string(static_cast<int>(x)) + " 0 -5.5 90 \"" +
         std::string(cell) + "\"");
    statement(u16(0x1005) + f32(static_cast<float>(static_cast<int>(x))) + f32(0) + f32(-5.5f) +
              f32(90) + short_text(cell));
}

void ScriptWriter::reference_call(std::string_view reference, std::string_view item, int count) {
    line("\"" + std::string(reference) + "\"->AddItem \"" + std::string(item) + "\" " +
         std::to_string(count));
    statement(u16(0x010C) + short_text(reference) + u16(0x10D4) + short_text(item) +
              u16(static_cast<unsigned>(count)));
}

void ScriptWriter::set_local(std::string_view name, unsigned index,
                             std::string_view expression_bytes) {
    line("set " + std::string(name) + " to something");
    statement(u16(0x0105) + local('s', index) + short_text(expression_bytes));
}

void ScriptWriter::open(std::string_view keyword, unsigned opcode, std::string_view condition,
                        std::string_view expression_bytes, bool is_while) {
    line(std::string(keyword) + " ( " + std::string(condition) + " )");
    statement(u16(opcode) + u8(0) + short_text(expression_bytes));
    m_open.push_back({m_code.size() - expression_bytes.size() - 2, m_statements, is_while});
}

void ScriptWriter::open_if(std::string_view condition, std::string_view expression_bytes) {
    open("if", 0x0106, condition, expression_bytes, false);
}

void ScriptWriter::close_count() {
    assert(!m_open.empty());
    const Open open = m_open.back();
    m_open.pop_back();
    m_code[open.count_offset] = static_cast<char>(m_statements - open.first_statement);
}

void ScriptWriter::elseif_block(std::string_view condition, std::string_view expression_bytes) {
    close_count();
    open("elseif", 0x0108, condition, expression_bytes, false);
}

void ScriptWriter::else_block() {
    close_count();
    line("else");
    statement(u16(0x0107) + u8(0));
    m_open.push_back({m_code.size() - 1, m_statements, false});
}

void ScriptWriter::open_while(std::string_view condition, std::string_view expression_bytes) {
    open("while", 0x010A, condition, expression_bytes, true);
}

void ScriptWriter::end_block() {
    const bool is_while = m_open.back().is_while;
    close_count();
    line(is_while ? "endwhile" : "endif");
    statement(u16(is_while ? 0x010B : 0x0109));
}

void ScriptWriter::end() {
    line("End");
    statement(u16(0x0101));
}

} // namespace orv::scriptcode::test
