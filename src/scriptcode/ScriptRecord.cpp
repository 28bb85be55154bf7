#include "scriptcode/ScriptRecord.h"

#include <algorithm>

#include "plugin/Subrecord.h"
#include "scriptcode/CompiledCode.h"
#include "scriptcode/ReplacementRules.h"
#include "scriptcode/ScriptFunctions.h"
#include "scriptcode/SourceStatements.h"

namespace orv::scriptcode {
namespace {

// A script record read whole: where its parts are, its statements and the strings that
// stand in both source and code.
struct ParsedScript {
    Subrecord header;
    Subrecord source_subrecord;
    Subrecord code_subrecord;
    Text source;
    std::vector<Statement> statements;
    std::vector<AlignedString> strings;
};

Error refused(Text message) {
    return Error{ErrorKind::Refused, 0, std::move(message)};
}

Text data_of(const Block& record, const Subrecord& subrecord) {
    return Text(reinterpret_cast<const char*>(record.data()) + subrecord.data_offset(),
                subrecord.size);
}

Result<ParsedScript> parse(const Block& record) {
    const auto header = find_subrecord(record, "SCHD");
    const auto source = find_subrecord(record, "SCTX");
    const auto code = find_subrecord(record, "SCDT");
    if (!header || header->size < kHeaderCodeSizeOffset + 4) {
        return refused(cp1252(u8"Das Skript hat keinen vollständigen Kopf (SCHD)."));
    }
    if (!source) {
        return refused("Das Skript hat keinen Quelltext (SCTX).");
    }
    if (!code) {
        return refused("Das Skript hat keinen kompilierten Code (SCDT).");
    }
    const auto stated_size = read_u32_le(record, header->data_offset() + kHeaderCodeSizeOffset);
    if (stated_size != code->size) {
        return refused(cp1252(u8"Der Kopf nennt ") + std::to_string(stated_size.value_or(0)) +
                       " Bytes Code, der Code hat " + std::to_string(code->size) + ".");
    }
    ParsedScript script{*header, *source, *code, data_of(record, *source), {}, {}};
    auto statements = decode(data_of(record, *code));
    if (!statements) {
        return statements.error();
    }
    auto source_statements = read_source(script.source);
    if (!source_statements) {
        return source_statements.error();
    }
    auto strings = align(*statements, *source_statements, script.source);
    if (!strings) {
        return strings.error();
    }
    script.statements = std::move(*statements);
    script.strings = std::move(*strings);
    return script;
}

bool needs_quotes(TextView text) {
    return text.empty() || text.find_first_of(" \t,;()") != TextView::npos ||
           text.find("->") != TextView::npos;
}

// The source with the texts of `changes` (a token and its new text each, in source order)
// put in; a bare word whose new text needs them gets double quotes.
Text rewrite_source(TextView source, const std::vector<std::pair<SourceToken, Text>>& changes) {
    Text result;
    std::size_t copied = 0;
    for (const auto& change : changes) {
        const SourceToken& token = change.first;
        result.append(source.substr(copied, token.offset - copied));
        const bool quote = !token.quoted && needs_quotes(change.second);
        if (quote) {
            result += '"';
        }
        result += change.second;
        if (quote) {
            result += '"';
        }
        copied = token.offset + token.length;
    }
    result.append(source.substr(copied));
    return result;
}

// The opcodes and block counts: what a change of strings must leave as it was.
bool same_structure(const std::vector<Statement>& left, const std::vector<Statement>& right) {
    return std::equal(
        left.begin(), left.end(), right.begin(), right.end(),
        [](const Statement& a, const Statement& b) {
            if (a.opcode != b.opcode || a.operands.size() != b.operands.size()) {
                return false;
            }
            for (std::size_t k = 0; k < a.operands.size(); ++k) {
                if (a.operands[k].kind != b.operands[k].kind ||
                    (!is_text(a.operands[k].kind) && a.operands[k].value != b.operands[k].value)) {
                    return false;
                }
            }
            return true;
        });
}

Text number_prefix(int number) {
    return "Skripttext " + std::to_string(number) + ": ";
}

} // namespace

Text script_id(const Block& record) {
    const auto header = find_subrecord(record, "SCHD");
    if (!header) {
        return {};
    }
    const std::size_t length = std::min<std::size_t>(header->size, kHeaderNameLength);
    Text id = data_of(record, Subrecord{header->offset, static_cast<std::uint32_t>(length)});
    return id.substr(0, id.find('\0'));
}

Result<ScriptStrings> read_script_strings(const Block& record) {
    auto script = parse(record);
    if (!script) {
        return script.error();
    }
    ScriptStrings result{script_id(record), {}};
    int number = 0;
    for (const AlignedString& string : script->strings) {
        result.strings.push_back(
            {++number, string.role,
             script->statements[string.statement].operands[string.operand].value,
             string.token.offset});
    }
    return result;
}

std::vector<SpecifierDisagreement> specifier_disagreements(const Block& record) {
    std::vector<SpecifierDisagreement> found;
    const auto source_subrecord = find_subrecord(record, "SCTX");
    const auto code_subrecord = find_subrecord(record, "SCDT");
    if (!source_subrecord || !code_subrecord) {
        return found;
    }
    const Text source = data_of(record, *source_subrecord);
    const auto statements = decode(data_of(record, *code_subrecord));
    const auto written = read_source(source);
    if (!statements || !written) {
        return found;
    }
    const std::size_t common = std::min(statements->size(), written->size());
    for (std::size_t index = 0; index < common; ++index) {
        const Statement& decoded = (*statements)[index];
        const SourceStatement& line = (*written)[index];
        if (line.kind != SourceKind::Function || line.function->layout != Layout::MessageBox ||
            decoded.opcode != line.function->opcode) {
            continue;
        }
        std::vector<TextView> code_texts;
        for (const Operand& operand : decoded.operands) {
            if (operand.kind == OperandKind::Message || operand.kind == OperandKind::Button) {
                code_texts.push_back(operand.value);
            }
        }
        std::vector<TextView> source_texts;
        for (const SourceToken& token : line.arguments) {
            if (token.quoted) {
                source_texts.push_back(token_text(source, token));
            }
        }
        for (std::size_t k = 0; k < code_texts.size() && k < source_texts.size(); ++k) {
            if (auto problem = specifier_problem(source_texts[k], code_texts[k])) {
                found.push_back({line.line, k + 1, std::move(*problem)});
            }
        }
    }
    return found;
}

Result<Block> replace_script_strings(const Block& record,
                                     const std::vector<StringReplacement>& replacements) {
    auto script = parse(record);
    if (!script) {
        return script.error();
    }
    std::vector<Statement> statements = script->statements;
    std::vector<std::optional<Text>> new_texts(script->strings.size());
    for (const StringReplacement& replacement : replacements) {
        if (replacement.number < 1 ||
            static_cast<std::size_t>(replacement.number) > script->strings.size()) {
            return refused(number_prefix(replacement.number) +
                           "Das Skript hat keinen solchen Text.");
        }
        const AlignedString& string = script->strings[replacement.number - 1];
        Operand& operand = statements[string.statement].operands[string.operand];
        if (auto problem = replacement_problem(string.role, operand.value, replacement.text)) {
            return refused(number_prefix(replacement.number) + *problem);
        }
        operand.value = replacement.text;
        new_texts[replacement.number - 1] = replacement.text;
    }
    std::vector<std::pair<SourceToken, Text>> changes;
    for (std::size_t k = 0; k < new_texts.size(); ++k) {
        if (new_texts[k]) {
            changes.emplace_back(script->strings[k].token, *new_texts[k]);
        }
    }
    std::sort(changes.begin(), changes.end(), [](const auto& left, const auto& right) {
        return left.first.offset < right.first.offset;
    });
    auto code = encode(statements);
    if (!code) {
        return code.error();
    }
    const Text source = rewrite_source(script->source, changes);

    // The source first, then the code behind it is found again: a replacement moves every
    // subrecord behind the one it changes.
    Block changed = record;
    (void)replace_subrecord_text(changed, script->source_subrecord, TextKind::Whole, source);
    const auto code_subrecord = find_subrecord(changed, "SCDT");
    (void)replace_subrecord_text(changed, *code_subrecord, TextKind::Whole, *code);
    const auto header = find_subrecord(changed, "SCHD");
    write_u32_le(changed, header->data_offset() + kHeaderCodeSizeOffset,
                 static_cast<std::uint32_t>(code->size()));

    // Proof: the new record reads again, with the same statements and the new strings.
    auto reread = parse(changed);
    if (!reread) {
        return refused(cp1252(u8"Nach der Änderung lässt sich das Skript nicht mehr lesen: ") +
                       reread.error().message);
    }
    bool same_strings = reread->strings.size() == script->strings.size();
    for (std::size_t k = 0; same_strings && k < script->strings.size(); ++k) {
        const AlignedString& string = reread->strings[k];
        const Text& expected = new_texts[k] ? *new_texts[k]
                                            : script->statements[script->strings[k].statement]
                                                  .operands[script->strings[k].operand]
                                                  .value;
        same_strings =
            string.role == script->strings[k].role &&
            reread->statements[string.statement].operands[string.operand].value == expected;
    }
    if (!same_structure(reread->statements, script->statements) || !same_strings) {
        return refused(cp1252(u8"Nach der Änderung hat das Skript einen anderen Aufbau; es "
                              u8"bleibt unverändert."));
    }
    return changed;
}

} // namespace orv::scriptcode
