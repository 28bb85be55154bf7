#include "cli/TranslateCommand.h"

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
        } else if (!have_plugin && !argument.empty() && argument[0] != '-') {
            parsed.plugin = path_from_utf8(argument);
            have_plugin = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_plugin || !have_output) {
        return std::nullopt;
    }
    return parsed;
}

Text line_message(std::size_t line_number, const Text& message) {
    return "Zeile " + std::to_string(line_number) + ": " + message;
}

// Applies the edit lines "LABEL<TAB>ID<TAB>NEW DV NAME" in order; the first bad line is
// returned as a refusal.
Result<void> apply_edits(std::string_view contents, const BlockStore& store, ObjectLists& lists) {
    const auto lines = split_lines(contents);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::size_t line_number = index + 1;
        const auto refused = [line_number](const Text& message) {
            return Error{ErrorKind::Refused, line_number, line_message(line_number, message)};
        };
        const auto fields = split_fields(lines[index]);
        if (fields.size() != 3) {
            return refused(cp1252(u8"Erwartet werden genau drei Felder: LISTE, ID und neuer "
                                  u8"DV Name, durch Tabulatoren getrennt."));
        }
        const auto label = unescape_field(fields[0]);
        const auto id = unescape_field(fields[1]);
        const auto new_name = unescape_field(fields[2]);
        if (!label || !id || !new_name) {
            return refused(cp1252(u8"Ungültiger Text: ein Zeichen, das Windows-1252 nicht "
                                  u8"darstellen kann, oder ein falsches Fluchtzeichen (\\)."));
        }
        const auto list_index = object_type_labelled(*label);
        if (!list_index) {
            return refused(cp1252(u8"Unbekannte Liste „") + *label + cp1252(u8"“."));
        }
        auto& elements = lists.list(*list_index).elements;
        bool matched = false;
        for (std::size_t row = 0; row < elements.size(); ++row) {
            if (elements[row].id != *id) {
                continue;
            }
            matched = true;
            if (elements[row].mark == mark::kShipped) {
                return refused(cp1252(u8"Die Zeile „") + *id +
                               cp1252(u8"“ ist mit „B“ markiert und kann nicht geändert werden."));
            }
            if (auto refusal = name_edit_refusal(store.is_master_file(), elements[row].mark)) {
                return refused(*refusal);
            }
            if (auto applied =
                    apply_name_edit(lists, *list_index, row, elements[row].ev_name, *new_name);
                !applied) {
                return refused(applied.error().message);
            }
        }
        if (!matched) {
            return refused(cp1252(u8"Keine Zeile der Liste „") + *label +
                           cp1252(u8"“ hat die ID „") + *id + cp1252(u8"“."));
        }
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

// Rows per kind and mark, game settings and references: what the save did, in German.
Text summary(const ObjectLists& lists, const SaveReport& report) {
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
    text += cp1252(u8"Namen eingesetzt: ") + std::to_string(report.names_substituted) + "\n";
    text += cp1252(u8"Game Settings übersetzt: ") +
            std::to_string(report.game_settings_translated) + "\n";
    text += cp1252(u8"Zellenverweise übersetzt: ") + std::to_string(report.references_translated) +
            "\n";
    return text;
}

} // namespace

int run_translate(const Context& context, std::span<const std::string> arguments) {
    const auto parsed = parse_arguments(arguments);
    if (!parsed) {
        return refuse(context,
                      cp1252(u8"Aufruf: orvental-cli [--program-dir ORDNER] translate "
                             u8"PLUGIN -o AUSGABE [--edits ÄNDERUNGEN] [--update-external]"));
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
    context.out << to_utf8(summary(lists, *saved));
    context.out.flush();
    return kExitOk;
}

} // namespace orv::cli
