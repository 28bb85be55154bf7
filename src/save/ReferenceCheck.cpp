#include "save/ReferenceCheck.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>

#include "plugin/BlockHalves.h"
#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "save/CompiledScriptNames.h"
#include "save/DialogueCheck.h"
#include "scriptcode/ReplacementRules.h"
#include "scriptcode/ScriptRecord.h"
#include "translation/NameIndex.h"
#include "translation/TextKeys.h"

namespace orv {
namespace {

struct KindText {
    FindingKind kind;
    std::string_view word;
    const char8_t* label;
};

// clang-format off
constexpr std::array<KindText, 9> kKindTexts = {{
    {FindingKind::ScriptNamesRenamed, "script", u8"Skript"},
    {FindingKind::ReferenceToNoCell, "reference", u8"Zellenverweis"},
    {FindingKind::NameTooLong, "length", u8"Zu lang"},
    {FindingKind::NameEmptied, "empty", u8"Leer"},
    {FindingKind::TopicLink, "topic-link", u8"Themenverweis"},
    {FindingKind::Define, "define", u8"Platzhalter"},
    {FindingKind::ResponseTooLong, "length", u8"Zu lang"},
    {FindingKind::Dialogue, "dialogue", u8"Dialog"},
    {FindingKind::ScriptCode, "script-code", u8"Skriptcode"},
}};
// clang-format on

const KindText& kind_text(FindingKind kind) {
    return kKindTexts[static_cast<std::size_t>(kind)];
}

// Appends „text“ to `out`; the quotes are one byte each.
void append_in_quotes(Text& out, TextView text) {
    static const Text open = cp1252(u8"„");
    static const Text close = cp1252(u8"“");
    out.append(open).append(text).append(close);
}

Text in_quotes(TextView text) {
    Text quoted;
    quoted.reserve(text.size() + 2);
    append_in_quotes(quoted, text);
    return quoted;
}

// The ID of a record: its first subrecord's data up to the first zero byte, which is the
// whole ID of a terminated ID and the name part of a script header.
Text record_id_of(const Block& block) {
    const auto first = first_subrecord(block);
    if (!first) {
        return {};
    }
    Text id;
    for (std::size_t k = first->data_offset(); k < first->end() && block[k] != std::byte{0}; ++k) {
        id.push_back(static_cast<char>(block[k]));
    }
    return id;
}

// The first double quote, CR or LF from `from` on, or npos. A plain loop: the library's
// search for any of several characters asks for each byte whether it is one of them, a call
// per byte of every script.
std::size_t quote_or_line_end(TextView script, std::size_t from) {
    for (std::size_t k = from; k < script.size(); ++k) {
        const char c = script[k];
        if (c == '"' || c == '\r' || c == '\n') {
            return k;
        }
    }
    return TextView::npos;
}

// What the user does about a renamed name left in a script: a compiled script runs its
// compiled data, so a changed text counts only after the editor compiled it again; a result
// script is compiled when it runs.
constexpr const char8_t* kCompiledScriptAdvice =
    u8"; den Namen im Skripttext ändern und das Skript im Editor neu kompilieren";
constexpr const char8_t* kResultScriptAdvice = u8"; im Editor ändern, wo der alte Name gemeint ist";

// The game's topic names a response's links may use: the shipped ones, then the memory's.
// Both are pair files, so one after the other is a pair file too.
Bytes known_topic_names(ByteSpan shipped, ByteSpan learned) {
    Bytes names(shipped.begin(), shipped.end());
    names.insert(names.end(), learned.begin(), learned.end());
    return names;
}

// The checkers of a plugin's shares of blocks share what they look up in; each only reads it.
class Checker {
public:
    Checker(const BlockStore& store, const ObjectLists& lists, const SaveTables& tables,
            const TextKeySet& known_cells, const RenamesByOldName& renames, CheckScope scope)
        : m_store(store), m_lists(lists), m_tables(tables), m_scope(scope),
          m_references(tables.references()), m_script_cells(tables.script_cells()),
          m_renames(renames), m_known_cells(known_cells) {}

    // The scripts and references of blocks [first, end), in block order.
    void check_blocks(std::size_t first, std::size_t end) {
        for (std::size_t number = first; number < end; ++number) {
            const Block& block = m_store.block(number);
            const Text tag = record_tag(block);
            if (tag == "SCPT") {
                check_scripts(block, tag, "SCTX");
                if (m_scope == CheckScope::Everything) {
                    check_compiled_code(block, tag);
                }
            }
            for_each_reference_place(block, [&](const Subrecord& subrecord, ReferencePlace place) {
                check_reference(block, tag, subrecord, place);
            });
        }
    }

    // The findings so far, taken out of the checker.
    std::vector<Finding> finish_blocks() { return std::move(m_findings); }

    // From now on every finding goes to `write` as soon as it is made, with the lines that
    // lines() hands out, and is not kept.
    void write_findings(const FindingWriter& write) { m_write = &write; }
    // The lines so far, at their size: they grew by doubling, and they are kept until the
    // save is done, while the grown buffer goes back to the heap with the checker.
    std::string lines() const { return m_lines; }

    // Findings of later blocks, behind this checker's.
    void append(std::vector<Finding> later) {
        if (m_findings.empty()) {
            m_findings = std::move(later);
            return;
        }
        m_findings.insert(m_findings.end(), std::make_move_iterator(later.begin()),
                          std::make_move_iterator(later.end()));
    }

    // The rules about names and dialogue, when the scope has them; then every finding.
    std::vector<Finding> finish() {
        if (m_scope == CheckScope::Everything) {
            check_names();
            check_dialogue(m_store, m_lists,
                           known_topic_names(m_tables.inputs().topic_names.bytes(),
                                             m_tables.inputs().learned_topics),
                           m_findings);
        }
        return std::move(m_findings);
    }

private:
    // A script whose texts the save cannot reach, with the reason.
    void check_compiled_code(const Block& block, const Text& tag) {
        const auto script = scriptcode::read_script_strings(block);
        if (!script) {
            add(FindingKind::ScriptCode, tag, record_id_of(block),
                cp1252(u8"Die Texte des Skripts bleiben, wie sie sind: ") + script.error().message);
            // The game shows the code's text and fills its placeholders from the code's
            // variables, which were compiled for the source's text.
            for (const auto& disagreement : scriptcode::specifier_disagreements(block)) {
                add(FindingKind::Define, tag, record_id_of(block),
                    "Zeile " + std::to_string(disagreement.line) + ", MessageBox-Text " +
                        std::to_string(disagreement.text) +
                        cp1252(u8": im Code (den das Spiel zeigt) anders als im Quelltext. ") +
                        disagreement.problem);
            }
        }
    }

    void check_scripts(const Block& block, const Text& tag, TextView text_tag) {
        if (m_renames.empty()) {
            return;
        }
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == text_tag) {
                const Text script = result_script_text(block, *subrecord);
                check_script(block, tag, script, find_script_arguments(script).arguments, true,
                             compiled_script_name_places(block));
            }
        }
    }

    // Every text between two double quotes on one line is a possible name; a quote left
    // open at the line's end quotes nothing. A compiled script also names a cell with a
    // bare cell argument. In a result script the save rewrites its cell arguments itself,
    // and in a compiled script that can be changed the topic and cell arguments at
    // `compiled_places`, so only the other texts are left to the user.
    void check_script(const Block& block, const Text& tag, TextView script,
                      const std::vector<ScriptArgument>& arguments, bool compiled,
                      const std::vector<CompiledScriptNamePlace>& compiled_places = {}) {
        const auto rewritten_by_save = [&](std::size_t offset, const ScriptRename& rename) {
            if (compiled) {
                // The save keeps a script unchanged when it refuses the new name.
                const auto role = rename.kind == ScriptArgumentKind::Topic
                                      ? scriptcode::StringRole::Topic
                                      : scriptcode::StringRole::Cell;
                return !scriptcode::replacement_problem(role, rename.old_name, rename.new_name) &&
                       std::any_of(compiled_places.begin(), compiled_places.end(),
                                   [&](const CompiledScriptNamePlace& place) {
                                       return place.offset == offset && place.kind == rename.kind;
                                   });
            }
            return std::any_of(arguments.begin(), arguments.end(), [&](const auto& a) {
                return a.offset == offset && a.kind == rename.kind;
            });
        };
        const auto report = [&](std::size_t line, TextView name, std::size_t offset) {
            folded_name(name, m_folded);
            const ScriptRename* rename = m_renames.find(m_folded);
            if (rename != nullptr && !rewritten_by_save(offset, *rename)) {
                add(FindingKind::ScriptNamesRenamed, tag, record_id_of(block),
                    "Zeile " + std::to_string(line) + ": " + in_quotes(name) +
                        cp1252(u8" heißt nach dem Speichern ") + in_quotes(rename->new_name) +
                        cp1252(compiled ? kCompiledScriptAdvice : kResultScriptAdvice));
            }
        };
        std::size_t line = 1;
        auto bare = arguments.begin();
        for (std::size_t position = 0; position < script.size(); ++position) {
            // Bare arguments of a compiled script come in script order with the quotes.
            for (; bare != arguments.end() && bare->offset <= position; ++bare) {
                if (compiled && !bare->quoted && bare->kind != ScriptArgumentKind::Text) {
                    report(bare->line, script.substr(bare->offset, bare->length), bare->offset);
                }
            }
            if (script[position] == '\n') {
                ++line;
            } else if (script[position] == '"') {
                const std::size_t close = quote_or_line_end(script, position + 1);
                if (close == TextView::npos || script[close] != '"') {
                    position = close == TextView::npos ? script.size() : close - 1;
                    continue;
                }
                report(line, script.substr(position + 1, close - position - 1), position + 1);
                position = close;
            }
        }
        for (; bare != arguments.end(); ++bare) {
            if (compiled && !bare->quoted && bare->kind != ScriptArgumentKind::Text) {
                report(bare->line, script.substr(bare->offset, bare->length), bare->offset);
            }
        }
    }

    // The cell arguments of a result script are references the save rewrites; the other
    // quoted texts may still name a renamed cell.
    void check_result_script(const Block& block, const Text& tag, const Subrecord& subrecord) {
        const TextView script = result_script_view(block, subrecord);
        // One reading for every script this checker reads: tens of thousands of scripts
        // then cost no allocation for its lists.
        find_script_arguments(script, m_reading);
        const std::vector<ScriptArgument>& arguments = m_reading.arguments;
        for (const auto& argument : arguments) {
            if (argument.kind != ScriptArgumentKind::Cell) {
                continue;
            }
            const TextView cell = script.substr(argument.offset, argument.length);
            auto translated = m_script_cells.translation(cell);
            const Text written = translated ? std::move(*translated) : Text(cell);
            folded_name(written, m_folded);
            if (!m_known_cells.contains(m_folded)) {
                add_no_cell(block, tag, "BNAM Zeile " + std::to_string(argument.line), written);
            }
        }
        if (!m_renames.empty()) {
            check_script(block, tag, script, arguments, false);
        }
    }

    // A plugin full of references to cells of other files gets thousands of these: each
    // text is made in one piece. `where` is the place in the record, `cell` the name.
    void add_no_cell(const Block& block, const Text& tag, TextView where, TextView cell) {
        static const Text why = cp1252(u8": weder eine Zelle dieses Plugins noch eine "
                                       u8"Übersetzung der Zellen- oder Regionsdatenbank");
        Text detail;
        detail.reserve(where.size() + cell.size() + why.size() + 3);
        detail.append(where).append(" ");
        append_in_quotes(detail, cell);
        detail.append(why);
        add(FindingKind::ReferenceToNoCell, tag, record_id_of(block), std::move(detail));
    }

    void check_reference(const Block& block, const Text& tag, const Subrecord& subrecord,
                         ReferencePlace place) {
        if (place == ReferencePlace::ResultScript) {
            check_result_script(block, tag, subrecord);
            return;
        }
        const auto cell = cell_in_place(block, subrecord, place);
        if (!cell || cell->empty()) {
            return;
        }
        const auto match = m_references.first_original_match(*cell);
        const Text& written = match ? m_references.entry(*match)[1] : *cell;
        folded_name(written, m_folded);
        if (!m_known_cells.contains(m_folded)) {
            add_no_cell(block, tag, subrecord_tag(block, subrecord), written);
        }
    }

    void check_names() {
        for (const auto& type : kRecordTypes) {
            const auto& elements = m_lists.list(type.index).elements;
            for (std::size_t row = 0; row < elements.size(); ++row) {
                const Element& element = elements[row];
                if (element.mark == mark::kNoName) {
                    continue;
                }
                const FindingRow where{type.index, row};
                if (element.dv_name.size() > static_cast<std::size_t>(type.name_limit)) {
                    add(FindingKind::NameTooLong, Text(type.tag), element.id,
                        in_quotes(element.dv_name) + ": " + std::to_string(element.dv_name.size()) +
                            " Zeichen, erlaubt sind " + std::to_string(type.name_limit),
                        where);
                } else if (element.dv_name.empty() && !element.ev_name.empty()) {
                    add(FindingKind::NameEmptied, Text(type.tag), element.id,
                        cp1252(u8"Der Name ") + in_quotes(element.ev_name) + cp1252(u8" wird leer"),
                        where);
                }
            }
        }
    }

    void add(FindingKind kind, Text record, Text id, Text detail,
             std::optional<FindingRow> row = std::nullopt) {
        Finding finding{kind, std::move(record), std::move(id), std::move(detail), row};
        if (m_write != nullptr) {
            (*m_write)(m_lines, finding);
        } else {
            m_findings.push_back(std::move(finding));
        }
    }

    const BlockStore& m_store;
    const ObjectLists& m_lists;
    const SaveTables& m_tables;
    CheckScope m_scope;
    const NameIndex& m_references;
    const ScriptNameLookup& m_script_cells;
    const RenamesByOldName& m_renames;
    const TextKeySet& m_known_cells;
    std::vector<Finding> m_findings;
    const FindingWriter* m_write = nullptr;
    std::string m_lines;
    ScriptReading m_reading;
    // The last name folded, in memory that serves every fold of this checker.
    Text m_folded;
};

} // namespace

std::string_view finding_kind_word(FindingKind kind) {
    return kind_text(kind).word;
}

Text finding_kind_label(FindingKind kind) {
    return cp1252(kind_text(kind).label);
}

namespace {

// Checks the scripts and references of a large plugin on two threads, a share of blocks at a
// time by a checker of its own that `share_done(share, checker)` gets when it is through.
// The checkers only read the plugin and the tables.
template <typename ShareDone>
void check_shares(const BlockStore& store, const ObjectLists& lists, const SaveTables& tables,
                  const TextKeySet& known_cells, const RenamesByOldName& renames, CheckScope scope,
                  const FindingWriter* write, ShareDone&& share_done) {
    in_shares_on_two_threads(1, store.block_count(),
                             [&](std::size_t share, std::size_t from, std::size_t to) {
                                 Checker checker(store, lists, tables, known_cells, renames, scope);
                                 if (write != nullptr) {
                                     checker.write_findings(*write);
                                 }
                                 checker.check_blocks(from, to);
                                 share_done(share, checker);
                             });
}

} // namespace

std::vector<Finding> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                  const SaveTables& tables, const CheckNames& names,
                                  CheckScope scope) {
    // The findings of the shares are put together in block order.
    std::vector<std::vector<Finding>> shares(share_count(1, store.block_count()));
    check_shares(store, lists, tables, names.known_cells, names.renames, scope, nullptr,
                 [&shares](std::size_t share, Checker& checker) {
                     shares[share] = checker.finish_blocks();
                 });
    // Each share's findings are let go of as soon as they are moved behind the others, so
    // that they are never held twice.
    std::size_t count = 0;
    for (const auto& findings : shares) {
        count += findings.size();
    }
    std::vector<Finding> all;
    all.reserve(count);
    for (auto& findings : shares) {
        all.insert(all.end(), std::make_move_iterator(findings.begin()),
                   std::make_move_iterator(findings.end()));
        std::vector<Finding>().swap(findings);
    }
    Checker checker(store, lists, tables, names.known_cells, names.renames, scope);
    checker.append(std::move(all));
    return checker.finish();
}

std::vector<std::string> write_script_and_reference_findings(const BlockStore& store,
                                                             const ObjectLists& lists,
                                                             const SaveTables& tables,
                                                             const CheckNames& names,
                                                             const FindingWriter& write) {
    std::vector<std::string> shares(share_count(1, store.block_count()));
    check_shares(
        store, lists, tables, names.known_cells, names.renames, CheckScope::ScriptsAndReferences,
        &write,
        [&shares](std::size_t share, Checker& checker) { shares[share] = checker.lines(); });
    return shares;
}

std::vector<Finding> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                  DatabaseInputs inputs, CheckScope scope) {
    const CheckNames names = check_names(lists, inputs);
    const SaveTables tables(std::move(inputs), store, lists);
    return check_plugin(store, lists, tables, names, scope);
}

Result<std::vector<Finding>> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                          Files& files, const std::filesystem::path& program_dir,
                                          CheckScope scope) {
    CheckNames names;
    const auto tables = read_tables_and_check_names(files, program_dir, store, lists, names);
    if (!tables) {
        return tables.error();
    }
    auto findings = check_plugin(store, lists, **tables, names, scope);
    if (auto whole = (*tables)->inputs().check_whole(); !whole) {
        return whole.error();
    }
    return findings;
}

Result<std::unique_ptr<SaveTables>>
read_tables_and_check_names(Files& files, const std::filesystem::path& program_dir,
                            const BlockStore& store, const ObjectLists& lists, CheckNames& names) {
    return read_save_tables(files, program_dir, store, lists, [&](const DatabaseInputs& inputs) {
        names = check_names(lists, inputs);
    });
}

} // namespace orv
