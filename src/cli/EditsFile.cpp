#include "cli/EditsFile.h"

#include <array>

#include "translation/NameEdit.h"
#include "translation/PlayerTexts.h"
#include "translation/TextConventions.h"

namespace orv::cli {
namespace {

// "Zeile 3: ..." or, for one field of the line, "Zeile 3, Feld 2: ...", as db import says it.
Text line_message(std::size_t line_number, const Text& message, std::size_t field = 0) {
    Text where = "Zeile " + std::to_string(line_number);
    if (field > 0) {
        where += ", Feld " + std::to_string(field);
    }
    return where + ": " + message;
}

} // namespace

Result<void> apply_edits(ByteSpan file, BlockStore& store, ObjectLists& lists,
                         const PairFile& topic_database) {
    const std::string_view contents(reinterpret_cast<const char*>(file.data()), file.size());
    const auto lines = split_lines(contents);
    PlayerTextWriter player_texts(store, lists);
    Text problems;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::size_t line_number = index + 1;
        // `field` counts from 1; 0 refuses the whole line.
        const auto refuse = [&](const Text& message, std::size_t field = 0) {
            problems += problems.empty() ? "" : "\r";
            problems += line_message(line_number, message, field);
        };
        const auto fields = split_fields(lines[index]);
        if (fields.size() != 3) {
            refuse(cp1252(u8"Erwartet werden genau drei Felder: LISTE, ID und neuer "
                          u8"DV Name, durch Tabulatoren getrennt."));
            continue;
        }
        std::array<Text, 3> texts;
        bool readable = true;
        for (std::size_t field = 0; field < 3 && readable; ++field) {
            auto text = unescape_field(fields[field]);
            if (!text) {
                refuse(field_problem(fields[field]), field + 1);
                readable = false;
            } else {
                texts[field] = std::move(*text);
            }
        }
        if (!readable) {
            continue;
        }
        const auto& [label, id, new_name] = texts;
        const auto list_index = object_type_labelled(label);
        if (const auto* kind = list_index ? nullptr : player_text_kind_labelled(label)) {
            // Like the text editor, which never opens on a master file.
            const std::optional<Text> refusal = store.is_master_file()
                                                    ? master_file_edit_message()
                                                    : player_texts.set(*kind, id, new_name);
            if (refusal) {
                refuse(*refusal);
            }
            continue;
        }
        if (!list_index) {
            refuse(cp1252(u8"Unbekannte Liste „") + label + cp1252(u8"“."));
            continue;
        }
        auto& elements = lists.list(*list_index).elements;
        bool matched = false;
        for (std::size_t row = 0; row < elements.size(); ++row) {
            if (elements[row].id != id) {
                continue;
            }
            matched = true;
            if (elements[row].mark == mark::kShipped) {
                // A line that gives the row the German name it has records nothing: an edits
                // file applied once more meets the names that the memory fills in at Open.
                if (elements[row].dv_name == new_name) {
                    continue;
                }
                refuse(cp1252(u8"Die Zeile „") + id +
                       cp1252(u8"“ ist mit „B“ markiert und kann nicht geändert werden."));
                break;
            }
            if (auto refusal = name_edit_refusal(store.is_master_file(), elements[row].mark)) {
                refuse(*refusal);
                break;
            }
            const auto applied = apply_name_edit(lists, *list_index, row, elements[row].ev_name,
                                                 new_name, topic_database);
            if (!applied) {
                refuse(applied.error().message);
                break;
            }
            if (*applied == NameEditOutcome::Recorded) {
                (void)spread_cell_name(lists, *list_index, row);
            }
        }
        if (!matched) {
            refuse(cp1252(u8"Keine Zeile der Liste „") + label + cp1252(u8"“ hat die ID „") + id +
                   cp1252(u8"“."));
        }
    }
    if (!problems.empty()) {
        return Error{ErrorKind::Refused, 0, problems};
    }
    return {};
}

Result<std::optional<Bytes>> read_edits_file(Files& files,
                                             const std::optional<std::filesystem::path>& path) {
    if (!path) {
        return std::optional<Bytes>{};
    }
    auto read = files.read_all(*path);
    if (!read) {
        return read.error();
    }
    return std::optional<Bytes>(std::move(*read));
}

} // namespace orv::cli
