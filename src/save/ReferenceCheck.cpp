#include "save/ReferenceCheck.h"

#include <array>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "translation/DatabaseFile.h"
#include "translation/NameIndex.h"

namespace orv {
namespace {

struct KindText {
    FindingKind kind;
    std::string_view word;
    const char8_t* label;
};

// clang-format off
constexpr std::array<KindText, 4> kKindTexts = {{
    {FindingKind::ScriptNamesRenamedCell, "script", u8"Skript"},
    {FindingKind::ReferenceToNoCell, "reference", u8"Zellenverweis"},
    {FindingKind::NameTooLong, "length", u8"Zu lang"},
    {FindingKind::NameEmptied, "empty", u8"Leer"},
}};
// clang-format on

const KindText& kind_text(FindingKind kind) {
    return kKindTexts[static_cast<std::size_t>(kind)];
}

// Cell names compare without regard to letter case, as the game finds cells by name.
Text folded(TextView text) {
    return to_upper_cp1252(text);
}

Text in_quotes(TextView text) {
    return cp1252(u8"„") + Text(text) + cp1252(u8"“");
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

struct CellRename {
    Text old_name;
    Text new_name;
};

class Checker {
public:
    Checker(const BlockStore& store, const ObjectLists& lists, const DatabaseInputs& inputs)
        : m_store(store), m_lists(lists),
          m_references(
              build_reference_table({pending_cell_renames(store, lists), inputs.cell_names,
                                     inputs.region_names, rebuilt_external_database(lists)})) {
        // A cell is renamed when the name the save writes (DV Name) differs from its
        // English name; the first row of an English name wins.
        for (const auto& element : lists.list(kCellType).elements) {
            const Text old_key = folded(element.ev_name);
            m_known_cells.insert(folded(element.dv_name));
            if (!element.ev_name.empty() && old_key != folded(element.dv_name)) {
                m_renames.try_emplace(old_key, CellRename{element.ev_name, element.dv_name});
            }
        }
        // An exterior cell carries its region's name, so the plugin's own region names count
        // as cell names too; the user's translation of a region reaches no shipped file.
        for (const auto& element : lists.list(kRegionType).elements) {
            m_known_cells.insert(folded(element.dv_name));
        }
        for (const Bytes* file : {&inputs.cell_names, &inputs.region_names}) {
            for (const auto& entry : parse_pair_file(*file).entries) {
                m_known_cells.insert(folded(entry[1]));
            }
        }
    }

    std::vector<Finding> run() {
        for (std::size_t number = 1; number < m_store.block_count(); ++number) {
            const Block& block = m_store.block(number);
            const Text tag = record_tag(block);
            if (tag == "SCPT") {
                check_scripts(block, tag, "SCTX");
            } else if (tag == "INFO") {
                check_scripts(block, tag, "BNAM");
            }
            for_each_reference_place(block, [&](const Subrecord& subrecord, ReferencePlace place) {
                check_reference(block, tag, subrecord, place);
            });
        }
        check_names();
        return std::move(m_findings);
    }

private:
    void check_scripts(const Block& block, const Text& tag, TextView text_tag) {
        if (m_renames.empty()) {
            return;
        }
        for (auto subrecord = first_subrecord(block); subrecord;
             subrecord = next_subrecord(block, *subrecord)) {
            if (subrecord_tag(block, *subrecord) == text_tag) {
                check_script(block, tag, subrecord_text(block, *subrecord, TextKind::Whole));
            }
        }
    }

    // Every text between two double quotes on one line is a possible cell name; a quote
    // left open at the line's end quotes nothing.
    void check_script(const Block& block, const Text& tag, TextView script) {
        std::size_t line = 1;
        for (std::size_t position = 0; position < script.size(); ++position) {
            if (script[position] == '\n') {
                ++line;
            } else if (script[position] == '"') {
                const std::size_t close = script.find_first_of("\"\r\n", position + 1);
                if (close == TextView::npos || script[close] != '"') {
                    position = close == TextView::npos ? script.size() : close - 1;
                    continue;
                }
                const auto rename =
                    m_renames.find(folded(script.substr(position + 1, close - position - 1)));
                if (rename != m_renames.end()) {
                    add(FindingKind::ScriptNamesRenamedCell, tag, record_id_of(block),
                        "Zeile " + std::to_string(line) + ": " +
                            in_quotes(script.substr(position + 1, close - position - 1)) +
                            cp1252(u8" heißt nach dem Speichern ") +
                            in_quotes(rename->second.new_name));
                }
                position = close;
            }
        }
    }

    void check_reference(const Block& block, const Text& tag, const Subrecord& subrecord,
                         ReferencePlace place) {
        const auto cell = cell_in_place(block, subrecord, place);
        if (!cell || cell->empty()) {
            return;
        }
        const auto match = m_references.first_original_match(*cell);
        const Text& written = match ? m_references.entry(*match)[1] : *cell;
        if (!m_known_cells.contains(folded(written))) {
            add(FindingKind::ReferenceToNoCell, tag, record_id_of(block),
                subrecord_tag(block, subrecord) + " " + in_quotes(written) +
                    cp1252(u8": weder eine Zelle dieses Plugins noch eine Übersetzung der "
                           u8"Zellen- oder Regionsdatenbank"));
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
        m_findings.push_back(
            Finding{kind, std::move(record), std::move(id), std::move(detail), row});
    }

    const BlockStore& m_store;
    const ObjectLists& m_lists;
    const NameIndex m_references;
    // Folded old name of every renamed cell.
    std::unordered_map<Text, CellRename> m_renames;
    // Folded: the cell and region names of the plugin after the save and the translations
    // of the cell and region databases.
    std::unordered_set<Text> m_known_cells;
    std::vector<Finding> m_findings;
};

} // namespace

std::string_view finding_kind_word(FindingKind kind) {
    return kind_text(kind).word;
}

Text finding_kind_label(FindingKind kind) {
    return cp1252(kind_text(kind).label);
}

std::vector<Finding> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                  const DatabaseInputs& inputs) {
    return Checker(store, lists, inputs).run();
}

Result<std::vector<Finding>> check_plugin(const BlockStore& store, const ObjectLists& lists,
                                          Files& files, const std::filesystem::path& program_dir) {
    auto inputs = read_database_inputs(files, program_dir);
    if (!inputs) {
        return inputs.error();
    }
    return check_plugin(store, lists, *inputs);
}

} // namespace orv
