#include "cli/TranslateCommand.h"

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>

#include "cli/BatchPlugin.h"
#include "cli/TextConventions.h"
#include "save/CommandTexts.h"
#include "save/SavePipeline.h"
#include "translation/dialogs/NameEdit.h"

namespace orv::cli {
namespace {

struct TranslateArguments {
    std::filesystem::path plugin;
    std::filesystem::path output;
    std::optional<std::filesystem::path> edits;
    bool update_external = false;
    bool in_place = false;
};

std::optional<TranslateArguments> parse_arguments(std::span<const std::string> arguments) {
    TranslateArguments parsed;
    bool have_plugin = false;
    bool have_output = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if ((argument == "-o" || argument == "--edits") && i + 1 < arguments.size()) {
            if (argument == "-o") {
                if (have_output) {
                    return std::nullopt;
                }
                parsed.output = path_from_utf8(arguments[++i]);
                have_output = true;
            } else {
                if (parsed.edits) {
                    return std::nullopt;
                }
                parsed.edits = path_from_utf8(arguments[++i]);
            }
        } else if (argument == "--update-external") {
            parsed.update_external = true;
        } else if (argument == "--in-place" && !parsed.in_place) {
            parsed.in_place = true;
        } else if (!have_plugin && !argument.empty() && argument[0] != '-') {
            parsed.plugin = path_from_utf8(argument);
            have_plugin = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_output && parsed.in_place) {
        parsed.output = parsed.plugin;
        have_output = true;
    }
    if (!have_plugin || !have_output) {
        return std::nullopt;
    }
    return parsed;
}

// "Zeile 3: ..." or, for one field of the line, "Zeile 3, Feld 2: ...", as db import says it.
Text line_message(std::size_t line_number, const Text& message, std::size_t field = 0) {
    Text where = "Zeile " + std::to_string(line_number);
    if (field > 0) {
        where += ", Feld " + std::to_string(field);
    }
    return where + ": " + message;
}

// A file whose line ends or start show it was saved in another text format; every line
// would be refused for the same reason, so this is said once, before anything else.
std::optional<Error> format_problem(std::string_view contents,
                                    const std::vector<std::string_view>& lines) {
    if (contents.starts_with("\xEF\xBB\xBF")) {
        return Error{ErrorKind::BadText, 1, line_message(1, field_problem(contents.substr(0, 3)))};
    }
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (lines[index].ends_with('\r')) {
            return Error{ErrorKind::BadText, index + 1,
                         line_message(index + 1, field_problem("\r"))};
        }
    }
    return std::nullopt;
}

// Applies the edit lines "LABEL<TAB>ID<TAB>NEW DV NAME" in order. Every bad line is
// reported, each with its number, one per line of the message; the lists may then be
// half edited and must not be saved.
Result<void> apply_edits(std::string_view contents, const BlockStore& store, ObjectLists& lists) {
    const auto lines = split_lines(contents);
    if (auto problem = format_problem(contents, lines)) {
        return *problem;
    }
    Text problems;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::size_t line_number = index + 1;
        const auto refuse_line = [&](const Text& message) {
            problems += (problems.empty() ? "" : "\r") + line_message(line_number, message);
        };
        const auto refuse_field = [&](std::size_t field, const Text& message) {
            problems += (problems.empty() ? "" : "\r") + line_message(line_number, message, field);
        };
        const auto fields = split_fields(lines[index]);
        if (fields.size() != 3) {
            refuse_line(cp1252(u8"Erwartet werden genau drei Felder: LISTE, ID und neuer "
                               u8"DV Name, durch Tabulatoren getrennt."));
            continue;
        }
        std::array<Text, 3> texts;
        bool readable = true;
        for (std::size_t field = 0; field < 3 && readable; ++field) {
            auto text = unescape_field(fields[field]);
            if (!text) {
                refuse_field(field + 1, field_problem(fields[field]));
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
        if (!list_index) {
            refuse_line(cp1252(u8"Unbekannte Liste „") + label + cp1252(u8"“."));
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
                refuse_line(cp1252(u8"Die Zeile „") + id +
                            cp1252(u8"“ ist mit „B“ markiert und kann nicht geändert werden."));
                break;
            }
            if (auto refusal = name_edit_refusal(store.is_master_file(), elements[row].mark)) {
                refuse_line(*refusal);
                break;
            }
            const auto applied =
                apply_name_edit(lists, *list_index, row, elements[row].ev_name, new_name);
            if (!applied) {
                refuse_line(applied.error().message);
                break;
            }
            if (*applied == NameEditOutcome::Recorded) {
                (void)spread_cell_name(lists, *list_index, row);
            }
        }
        if (!matched) {
            refuse_line(cp1252(u8"Keine Zeile der Liste „") + label + cp1252(u8"“ hat die ID „") +
                        id + cp1252(u8"“."));
        }
    }
    if (!problems.empty()) {
        return Error{ErrorKind::Refused, 0, problems};
    }
    return {};
}

class SilentSaveView final : public SaveView {
public:
    void show_progress(const Text&) override {}
    void show_mark(int, std::size_t, const Text&) override {}
};

Text mark_name(const Text& mark) {
    return mark.empty() ? cp1252(u8"ohne") : mark;
}

// Rows per kind and mark, then what the run changed in the records: names the database
// gave while loading, names the edits changed, game settings and cell references. Each
// counts only a text that really changed, so a run over its own output reports 0.
Text summary(const ObjectLists& lists, int names_from_database, const SaveReport& report) {
    Text text = cp1252(u8"Gespeichert. Zeilen nach Art und Markierung:\n");
    for (const auto& type : kRecordTypes) {
        std::map<Text, int> counts;
        for (const auto& element : lists.list(type.index).elements) {
            ++counts[element.mark];
        }
        if (counts.empty()) {
            continue;
        }
        text += "  ";
        text += type.label;
        text += ':';
        for (const auto& [mark, count] : counts) {
            text += ' ';
            text += mark_name(mark);
            text += ' ';
            text += std::to_string(count);
        }
        text += "\n";
    }
    text += cp1252(u8"Namen aus der Datenbank übernommen: ") + std::to_string(names_from_database) +
            "\n";
    text += cp1252(u8"Namen durch Änderungen geändert: ") +
            std::to_string(report.names_substituted) + "\n";
    text += cp1252(u8"Game Settings übersetzt: ") +
            std::to_string(report.game_settings_translated) + "\n";
    text += cp1252(u8"Zellenverweise übersetzt: ") + std::to_string(report.references_translated) +
            "\n";
    return text;
}

// Whether two paths name the same file as far as their text tells (relative to the same
// current folder); enough to catch "-o" repeating the input.
// The same file under another spelling too: a link to it, or on Windows another letter case.
bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ignored;
    return std::filesystem::absolute(a, ignored).lexically_normal() ==
               std::filesystem::absolute(b, ignored).lexically_normal() ||
           std::filesystem::equivalent(a, b, ignored);
}

} // namespace

int run_translate(const Context& context, std::span<const std::string> arguments) {
    const auto parsed = parse_arguments(arguments);
    if (!parsed) {
        return refuse(context, cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] translate "
                                      u8"PLUGIN (-o AUSGABE | --in-place) [--edits ÄNDERUNGEN] "
                                      u8"[--update-external]"));
    }
    // The input stays as it was unless the user asks for it to be replaced.
    if (!parsed->in_place && same_file(parsed->plugin, parsed->output)) {
        return refuse(context,
                      cp1252(u8"Die Ausgabe „") + display_path(parsed->output) +
                          cp1252(u8"“ ist das Plugin selbst. Mit --in-place wird es ersetzt; "
                                 u8"sonst bitte mit -o eine andere Datei angeben."));
    }
    std::optional<Bytes> edits;
    if (parsed->edits) {
        auto read = context.files.read_all(*parsed->edits);
        if (!read) {
            return refuse(context, read.error().message);
        }
        edits = std::move(*read);
    }

    auto plugin = load_batch_plugin(context, parsed->plugin);
    if (!plugin) {
        return refuse(context, plugin.error().message);
    }
    BlockStore& store = plugin->store;
    ObjectLists& lists = plugin->lists;
    if (store.is_master_file()) {
        return refuse(context, master_file_save_message());
    }
    if (edits) {
        const std::string_view contents(reinterpret_cast<const char*>(edits->data()),
                                        edits->size());
        if (auto applied = apply_edits(contents, store, lists); !applied) {
            return refuse(context, applied.error().message);
        }
    }

    SilentSaveView save_view;
    const auto external =
        parsed->update_external ? ExternalDatabaseWrite::Write : ExternalDatabaseWrite::Keep;
    auto saved = save_plugin(store, lists, context.files, context.program_dir, parsed->output,
                             save_view, external);
    if (!saved) {
        // A database file that exists but cannot be read stops the save before anything is
        // written, like a refusal; only a failed write has a status of its own.
        const int status = refuse(context, saved.error().message);
        return saved.error().kind == ErrorKind::ReadFailed ? status : kExitWriteFailed;
    }
    context.out << to_utf8(summary(lists, plugin->names_from_database, *saved));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
