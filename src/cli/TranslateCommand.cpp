#include "cli/TranslateCommand.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

#include "cli/BatchPlugin.h"
#include "cli/EditsFile.h"
#include "save/CommandTexts.h"
#include "save/ReferenceCheck.h"
#include "save/SavePipeline.h"
#include "translation/Responses.h"
#include "translation/TextConventions.h"
#include "translation/TranslationDatabase.h"

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

// The save's view of the batch tool. It shows nothing; once the plugin's bytes are all made,
// it writes the check's finding lines to stderr on a thread of its own while the save waits
// for the disk. The lines say what the check found whatever becomes of the save, and the
// wait leaves the processor free for them: a large plugin has thousands. A save that fails
// before its bytes are made prints none of them, only its error.
class FindingsWhileSaving final : public SaveView {
public:
    FindingsWhileSaving(std::ostream& err, const std::vector<std::string>& lines)
        : m_err(err), m_lines(lines) {}
    FindingsWhileSaving(const FindingsWhileSaving&) = delete;
    FindingsWhileSaving& operator=(const FindingsWhileSaving&) = delete;
    ~FindingsWhileSaving() override { wait_for_lines(); }

    void show_progress(const Text&) override {}
    bool wants_progress() const override { return false; }
    void show_mark(int, std::size_t, const Element&) override {}
    void plugin_bytes_made() override {
        if (!m_writer.joinable()) {
            m_writer = std::thread([this] { write_lines(); });
        }
    }

    // Returns once the lines are written, if the save got as far as its bytes (a save that
    // succeeds always does). Nothing else may write to stderr before this.
    void wait_for_lines() {
        if (m_writer.joinable()) {
            m_writer.join();
        }
    }

private:
    void write_lines() {
        for (const std::string& lines : m_lines) {
            m_err.write(lines.data(), static_cast<std::streamsize>(lines.size()));
        }
        m_err.flush();
    }

    std::ostream& m_err;
    const std::vector<std::string>& m_lines;
    std::thread m_writer;
};

Text mark_name(RowMark mark) {
    return mark.empty() ? cp1252(u8"ohne") : mark.text();
}

// How many rows carry each mark, in the order of the marks' texts. A plugin has a handful of
// marks and tens of thousands of rows: a short list, searched from the front, counts them
// faster than a tree.
class MarkCounts {
public:
    void add(RowMark mark) {
        const auto known =
            std::find_if(m_counts.begin(), m_counts.end(),
                         [mark](const auto& counted) { return counted.first == mark; });
        if (known != m_counts.end()) {
            ++known->second;
        } else {
            m_counts.emplace_back(mark, 1);
        }
    }
    // " mark count" for every mark counted, or nothing.
    Text line() {
        std::sort(m_counts.begin(), m_counts.end());
        Text text;
        for (const auto& [mark, count] : m_counts) {
            text += ' ' + mark_name(mark) + ' ' + std::to_string(count);
        }
        return text;
    }

private:
    std::vector<std::pair<RowMark, int>> m_counts;
};

// Rows per kind and mark, then what the run changed in the records: names the database
// gave while loading, names the edits changed, game settings and cell references. Each
// counts only a text that really changed, so a run over its own output reports 0.
Text summary(const ObjectLists& lists, int names_from_database, const SaveReport& report) {
    Text text = cp1252(u8"Gespeichert. Zeilen nach Art und Markierung:\n");
    const auto add_line = [&text](TextView label, MarkCounts& counts) {
        const Text counted = counts.line();
        if (!counted.empty()) {
            text += "  ";
            text += label;
            text += ':';
            text += counted;
            text += "\n";
        }
    };
    for (const auto& type : kRecordTypes) {
        MarkCounts counts;
        for (const auto& element : lists.list(type.index).elements) {
            counts.add(element.mark);
        }
        add_line(type.label, counts);
    }
    for (const ResponseKind kind : {ResponseKind::Dialog, ResponseKind::Journal}) {
        MarkCounts counts;
        for (const auto& response : lists.responses()) {
            if (response.kind == kind) {
                counts.add(response.mark);
            }
        }
        add_line(response_kind_label(kind), counts);
    }
    text += cp1252(u8"Namen aus der Datenbank übernommen: ") + std::to_string(names_from_database) +
            "\n";
    text += cp1252(u8"Namen durch Änderungen geändert: ") +
            std::to_string(report.names_substituted) + "\n";
    text += cp1252(u8"Game Settings übersetzt: ") +
            std::to_string(report.game_settings_translated) + "\n";
    text += cp1252(u8"Zellenverweise übersetzt: ") + std::to_string(report.references_translated) +
            "\n";
    text += cp1252(u8"Themenverweise übersetzt: ") +
            std::to_string(report.topic_references_translated) + "\n";
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

// The line on stderr of a finding about a script or a reference.
void append_stderr_line(std::string& lines, const Finding& finding) {
    if (finding.kind == FindingKind::ReferenceToNoCell ||
        finding.kind == FindingKind::ScriptNamesRenamed) {
        append_escaped_line(
            lines, {finding_kind_word(finding.kind), finding.record, finding.id, finding.detail});
    }
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
    auto edits = read_edits_file(context.files, parsed->edits);
    if (!edits) {
        return refuse(context, edits.error().message);
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
    if (*edits) {
        const auto topics = read_topic_names(context.files, context.program_dir);
        if (!topics) {
            return refuse(context, topics.error().message);
        }
        if (auto applied = apply_edits(**edits, store, lists, *topics); !applied) {
            return refuse(context, applied.error().message);
        }
    }

    // Checked as the window checks before saving, on the plugin as the save will write it;
    // the findings about scripts and references go to stderr while the save waits for the
    // disk (see FindingsWhileSaving), and never stop it. The check and the save look up in
    // the same tables, read once; a database file that cannot be read stops the save before
    // anything is written.
    auto check_names = std::make_unique<CheckNames>();
    auto tables =
        read_tables_and_check_names(context.files, context.program_dir, store, lists, *check_names);
    if (!tables) {
        return refuse(context, tables.error().message);
    }
    // The findings are written out as their lines as they are made: a large plugin has
    // thousands, and their lines take less memory through the save than the findings would.
    // The check's names go before the save, which can use their memory.
    const std::vector<std::string> finding_lines = write_script_and_reference_findings(
        store, lists, **tables, *check_names, append_stderr_line);
    check_names.reset();

    FindingsWhileSaving save_view(context.err, finding_lines);
    const auto external =
        parsed->update_external ? ExternalDatabaseWrite::Write : ExternalDatabaseWrite::Keep;
    auto saved = save_plugin(store, lists, **tables, context.files, context.program_dir,
                             parsed->output, save_view, external);
    save_view.wait_for_lines();
    if (!saved) {
        // A database file that exists but cannot be read stops the save before anything is
        // written, like a refusal; only a failed write has a status of its own.
        const int status = refuse(context, saved.error().message);
        return saved.error().kind == ErrorKind::ReadFailed ? status : kExitWriteFailed;
    }
    context.out << to_utf8(summary(lists, plugin->names_from_database, *saved));
    context.out.flush();
    // The translation memory follows the user's database: only with --update-external.
    // The plugin is written, so the run succeeded; a failure here only means the memory kept
    // its old state, which the warning on stderr says.
    if (parsed->update_external) {
        if (auto remembered =
                remember_confirmed_translations(context.files, context.program_dir, *saved);
            !remembered) {
            (void)refuse(context, remembered.error().message);
        }
    }
    leave_to_process_end(context, plugin);
    leave_to_process_end(context, tables);
    leave_to_process_end(context, saved);
    return kExitOk;
}

} // namespace orv::cli
