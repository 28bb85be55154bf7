// Generated scripts of every statement kind, nested blocks and strings with format
// specifiers: each round-trips through the decoder byte for byte, and each survives having
// every message and button made half again as long (with umlauts).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ScriptSamples.h"
#include "plugin/Subrecord.h"
#include "scriptcode/CompiledCode.h"
#include "scriptcode/ReplacementRules.h"
#include "scriptcode/ScriptRecord.h"

namespace orv::scriptcode {
namespace {

using namespace test;

class ScriptGenerator {
public:
    explicit ScriptGenerator(unsigned seed) : m_random(seed) {}

    ScriptWriter script() {
        ScriptWriter writer;
        statements(writer, 0, pick(1, 12));
        writer.end();
        return writer;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::string words(int count) {
        static const char* const kWords[] = {"Pfeile", "Gold",   "%g",     "Tor",  "offen", "%s",
                                             "100%%",  "Wache,", "Keller", "%.0f", "heute"};
        std::string text;
        for (int k = 0; k < count; ++k) {
            text += (k ? " " : "") + std::string(kWords[pick(0, 10)]);
        }
        return text;
    }

    void statements(ScriptWriter& writer, int depth, int count) {
        for (int k = 0; k < count; ++k) {
            switch (pick(0, depth < 3 ? 7 : 4)) {
            case 0: {
                std::vector<std::string> variables(pick(0, 3), "count");
                std::vector<std::string> buttons;
                for (int b = pick(0, 4); b > 0; --b) {
                    buttons.push_back(words(pick(1, 3)));
                }
                writer.message_box(words(pick(1, 20)), variables, buttons);
                break;
            }
            case 1:
                writer.add_topic(pick(0, 1) ? "Fuhaven" : "Fuhaven, Hafen");
                break;
            case 2:
                writer.position_cell(static_cast<float>(pick(-5000, 5000)), "Keller unten");
                break;
            case 3:
                writer.reference_call("wache ulf", "gold_001", pick(1, 500));
                break;
            case 4:
                writer.set_local("count", 1, " s\x01\x00 + 1");
                break;
            case 5:
                writer.open_if("count == 1", " s\x01\x00 == 1");
                statements(writer, depth + 1, pick(0, 4));
                if (pick(0, 1)) {
                    writer.elseif_block("count == 2", " s\x01\x00 == 2");
                    statements(writer, depth + 1, pick(0, 3));
                }
                if (pick(0, 1)) {
                    writer.else_block();
                    statements(writer, depth + 1, pick(0, 3));
                }
                writer.end_block();
                break;
            default:
                writer.open_while("count < 3", " s\x01\x00 < 3");
                statements(writer, depth + 1, pick(0, 4));
                writer.end_block();
                break;
            }
        }
    }

    std::mt19937 m_random;
};

// Half again as long, with umlauts, without adding a '%'.
std::string grown(const std::string& text) {
    const std::string filler = cp1252(u8"äöüßÄÖÜ ");
    std::string result = text;
    while (result.size() < text.size() * 3 / 2 + 1) {
        result += filler[result.size() % filler.size()];
    }
    return result;
}

// The opcodes and block counts of decoded code.
std::string structure(const std::string& code) {
    const auto statements = decode(code);
    if (!statements) {
        return "not decoded: " + statements.error().message;
    }
    std::string out;
    for (const Statement& statement : *statements) {
        out += std::to_string(statement.opcode);
        for (const Operand& operand : statement.operands) {
            if (operand.kind == OperandKind::BlockCount) {
                out += "/" + std::to_string(static_cast<std::uint8_t>(operand.value[0]));
            }
        }
        out += " ";
    }
    return out;
}

// Each script decodes and encodes back to the same bytes; made longer, its messages and
// buttons keep the code's structure, every size field follows and a new reading agrees.
TEST(GeneratedScripts, RoundTripAndLongerTranslationsKeepStructureStringsAndSizes) {
    int changed_scripts = 0;
    for (const unsigned seed : {7U, 11U}) {
        ScriptGenerator generator(seed);
        for (int k = 0; k < 300; ++k) {
            const ScriptWriter writer = generator.script();
            SCOPED_TRACE(writer.source());
            const auto statements = decode(writer.code());
            ASSERT_TRUE(statements) << statements.error().message;
            EXPECT_EQ(statements->size(), static_cast<std::size_t>(writer.statements()));
            EXPECT_EQ(encode(*statements).value(), writer.code());
            const Block record = script_record("demo_script", writer.source(), writer.code());
            const auto strings = read_script_strings(record);
            ASSERT_TRUE(strings) << strings.error().message;
            std::vector<StringReplacement> replacements;
            for (const ScriptString& string : strings->strings) {
                if (string.role == StringRole::Message || string.role == StringRole::Button) {
                    replacements.push_back({string.number, grown(string.text)});
                }
            }
            if (replacements.empty()) {
                continue;
            }
            ++changed_scripts;
            const auto changed = replace_script_strings(record, replacements);
            ASSERT_TRUE(changed) << changed.error().message;

            const auto code = find_subrecord(*changed, "SCDT");
            const std::string new_code(
                reinterpret_cast<const char*>(changed->data()) + code->data_offset(), code->size);
            EXPECT_EQ(structure(new_code), structure(writer.code()));
            const auto header = find_subrecord(*changed, "SCHD");
            EXPECT_EQ(read_u32_le(*changed, header->data_offset() + kHeaderCodeSizeOffset),
                      new_code.size());
            EXPECT_EQ(read_u32_le(*changed, 4), changed->size() - 16);
            const auto reread = read_script_strings(*changed);
            ASSERT_TRUE(reread) << reread.error().message;
            ASSERT_EQ(reread->strings.size(), strings->strings.size());
            std::size_t next = 0;
            for (std::size_t s = 0; s < reread->strings.size(); ++s) {
                const bool replaced = next < replacements.size() &&
                                      replacements[next].number == reread->strings[s].number;
                EXPECT_EQ(reread->strings[s].text,
                          replaced ? replacements[next++].text : strings->strings[s].text);
            }
        }
    }
    EXPECT_GT(changed_scripts, 200);
}

} // namespace
} // namespace orv::scriptcode
