#include "save/SavePipeline.h"

#include <memory>
#include <thread>

#include "platform/AtomicWrite.h"
#include "plugin/Progress.h"
#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "save/CellReferencePass.h"
#include "save/GameSettingPass.h"
#include "save/PendingSave.h"
#include "save/SaveTables.h"
#include "save/TopicReferencePass.h"
#include "save/TranslatingWrite.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/Responses.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

// Puts a row's new name into its record; true when the record's name changed.
bool substitute_name(BlockStore& store, const RecordType& type, const Element& element) {
    Block* block = store.find(element.block);
    const auto name = block ? find_subrecord(*block, type.name_subrecord) : std::nullopt;
    if (!name) {
        return false;
    }
    const Text old_name = subrecord_text(*block, *name, TextKind::Terminated);
    replace_subrecord_text(*block, *name, TextKind::Terminated, element.dv_name);
    return old_name != element.dv_name;
}

} // namespace

Result<SaveReport> save_plugin(BlockStore& store, ObjectLists& lists, Files& files,
                               const std::filesystem::path& program_dir,
                               const std::filesystem::path& target, SaveView& view,
                               ExternalDatabaseWrite external_write) {
    const auto tables = read_save_tables(files, program_dir, store, lists);
    if (!tables) {
        return tables.error();
    }
    return save_plugin(store, lists, **tables, files, program_dir, target, view, external_write);
}

Result<SaveReport> save_plugin(BlockStore& store, ObjectLists& lists, const SaveTables& tables,
                               Files& files, const std::filesystem::path& program_dir,
                               const std::filesystem::path& target, SaveView& view,
                               ExternalDatabaseWrite external_write) {
    SaveReport report;
    const Bytes& external_database = tables.external_database();
    // Built from the topics as their records name them before any name is substituted, on a
    // second thread while this one translates the plugin's game settings and finds the
    // responses translated by hand: the table reads only topic records and rows, which
    // neither of those reads or changes.
    std::unique_ptr<const TopicNameTable> topic_names;
    std::thread topic_table([&] {
        topic_names = std::make_unique<const TopicNameTable>(
            store, lists, tables.inputs().topic_names.bytes(), external_database,
            tables.inputs().learned_topics);
    });
    const ProgressFunction show = progress_of(view);
    report.game_settings_translated = translate_game_settings(store, tables.game_settings(), show);
    const Text today = today_date();
    // A response whose text is no longer what the file held, and not the response
    // database's translation, was translated by hand: the memory keeps it, and the save
    // marks it "Ü" like a saved name. The memory gets them behind the names.
    std::vector<MemoryEntry> confirmed_responses;
    for (auto& response : lists.responses()) {
        if (response.mark == mark::kShipped) {
            continue;
        }
        const Text now = current_response_text(store, response);
        if (!now.empty() && now != response.original) {
            confirmed_responses.push_back(
                {response.kind == ResponseKind::Journal ? kJournalMemory : kDialogMemory,
                 response.original,
                 now,
                 today,
                 {}});
            response.mark = mark::kExternal;
        }
    }
    topic_table.join();

    // The rows this save marks as saved. Should the save fail after all, they go back to
    // "*", so the names still count as unsaved: the old file holds none of them.
    std::vector<std::pair<int, std::size_t>> marked;
    const auto failed = [&](const Error& error) {
        for (const auto& [list, row] : marked) {
            lists.set_mark_and_dv_name(list, row, mark::kEdited,
                                       lists.list(list).elements[row].dv_name);
            view.show_mark(list, row, lists.list(list).elements[row]);
        }
        return error;
    };
    for (const auto& type : kRecordTypes) {
        auto& elements = lists.list(type.index).elements;
        for (std::size_t row = 0; row < elements.size(); ++row) {
            if (elements[row].mark != mark::kEdited) {
                continue;
            }
            if (substitute_name(store, type, elements[row])) {
                ++report.names_substituted;
            }
            report.confirmed_translations.push_back(
                {type.index, elements[row].ev_name, elements[row].dv_name, today, {}});
            lists.set_mark_and_dv_name(type.index, row, mark::kExternal, elements[row].dv_name);
            view.show_mark(type.index, row, elements[row]);
            marked.emplace_back(type.index, row);
        }
    }
    report.confirmed_translations.insert(report.confirmed_translations.end(),
                                         std::make_move_iterator(confirmed_responses.begin()),
                                         std::make_move_iterator(confirmed_responses.end()));

    // A database file read short stops the save before any file is made.
    if (auto whole = tables.inputs().check_whole(); !whole) {
        return failed(whole.error());
    }
    std::vector<FileReplacement> replacements;
    if (external_write == ExternalDatabaseWrite::Write) {
        const auto external_path = external_database_path(program_dir);
        if (auto folder = files.create_directories(external_path.parent_path()); !folder) {
            return failed(folder.error());
        }
        replacements.push_back({external_path, [&external_database](OutputFile& out) {
                                    return out.write(external_database);
                                }});
    }
    replacements.push_back({target, [&](OutputFile& out) {
                                auto written = write_translating_references(
                                    store, tables, *topic_names, show, out, report);
                                if (written) {
                                    view.plugin_bytes_made();
                                }
                                return written;
                            }});
    if (auto replaced = replace_files(files, replacements); !replaced) {
        return failed(replaced.error());
    }
    return report;
}

Result<void> remember_confirmed_translations(Files& files, const std::filesystem::path& program_dir,
                                             const SaveReport& report) {
    if (report.confirmed_translations.empty()) {
        return {};
    }
    auto added = add_to_memory(files, memory_path(program_dir), report.confirmed_translations);
    if (!added) {
        Error error = added.error();
        error.message += cp1252(u8"\rDas Plugin wurde gespeichert.");
        return error;
    }
    return {};
}

} // namespace orv
