#include "app/FileCommands.h"
#include "app/WorkerEnd.h"

#include <array>
#include <iterator>
#include <optional>
#include <string>

#include "app/CommandMenu.h"
#include "app/UnsavedWork.h"
#include "app/WindowViews.h"
#include "save/CommandTexts.h"
#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"
#include "translation/StoredTextMemory.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// Status field 0 names the loaded plugin; field 1 belongs to the progress texts.
constexpr int kFileNameField = 0;
constexpr int kProgressField = 1;
const Text kSaveFailedStatus = "Speichern fehlgeschlagen";
// The sort-arrow column that stands for none.
constexpr int kNoSortColumn = -1;

const Text kFilter = "ESP (*.esp)|*.esp";
const Text kInformationTitle = "INFORMATION";
const Text kQuestionTitle = "FRAGE";
const std::string kExtension = ".esp";

// The folder part of a chosen path, for the configuration file; nothing when
// Windows-1252 cannot hold the folder, which then cannot go into that file.
std::optional<Text> folder_part_of(const fs::path& chosen) {
    return from_utf8(folder_part(utf8_of(chosen)));
}

// The Save-as target: every ".esp" (exact case, so ".ESP" stays) is removed from the
// file-name part, then one ".esp" is appended. Typing the name with or without the
// extension, or with it twice, gives the same target. Nothing when the name is empty.
std::optional<fs::path> save_as_target(const fs::path& chosen) {
    const std::string utf8 = utf8_of(chosen);
    const auto last = utf8.rfind(kPathSeparator);
    const std::size_t name_start = last == std::string::npos ? 0 : last + 1;
    std::string target = utf8.substr(0, name_start);
    const std::string name = utf8.substr(name_start);
    for (std::size_t at = 0; at < name.size();) {
        if (name.compare(at, kExtension.size(), kExtension) == 0) {
            at += kExtension.size();
        } else {
            target.push_back(name[at]);
            ++at;
        }
    }
    if (target.empty()) {
        return std::nullopt;
    }
    return path_from_utf8(target + kExtension);
}

void show_refusal(Dialogs& dialogs, const Text& message) {
    dialogs.message_box(kInformationTitle, message, MessageButtons::Ok, MessageIcon::Stop);
}

// A folder that cannot be stored costs the user only the dialog's starting folder next
// time, so the command goes on after telling.
void store_folder(FileCommandContext& context, const fs::path& chosen,
                  Result<void> (FolderSettings::*store)(const Text&)) {
    const auto folder = folder_part_of(chosen);
    if (!folder) {
        return;
    }
    const auto stored = (context.settings.*store)(*folder);
    if (!stored) {
        show_refusal(context.dialogs, stored.error().message);
    }
}

// Whether Save or Save-as goes on: not for a worker already ended, and never for a master
// file, which may be looked at but not written (refused before the menus are touched).
bool save_may_start(FileCommandContext& context) {
    if (context.workspace.worker_ended) {
        return false;
    }
    if (!context.workspace.store.is_master_file()) {
        return true;
    }
    show_refusal(context.dialogs, master_file_save_message());
    return false;
}

// After a command that loaded or wrote the plugin: its name, then what the window derives
// from the rows.
void show_file_name(FileCommandContext& context) {
    context.window.set_status_text(kFileNameField,
                                   cp1252(u8"Datei : ") +
                                       display_path(context.workspace.current_file.filename()));
    if (context.lists_changed) {
        context.lists_changed();
    }
}

// Reads and loads the chosen file. The old plugin, its rows and views stay as they were
// unless the new one was read completely: a name that names no file, a file that cannot be
// read and a file the loader refuses all come back as an error.
Result<void> load_chosen_file(FileCommandContext& context, const fs::path& chosen) {
    auto bytes = context.files.read_contents(chosen);
    if (!bytes) {
        return bytes.error();
    }
    Workspace& workspace = context.workspace;
    TranslationDatabase database(context.files, workspace.program_dir);
    WindowLoaderView view(context.window);
    return load_plugin(std::move(*bytes), database, workspace.store, workspace.lists, view);
}

// Runs the save pipeline. The target is replaced in one step, so a failed save leaves the
// old file as it was; the failure is shown and false returned.
bool save_to(FileCommandContext& context, const fs::path& target) {
    Workspace& workspace = context.workspace;
    WindowSaveView view(context.window);
    auto saved = save_plugin(workspace.store, workspace.lists, context.files, workspace.program_dir,
                             target, view);
    if (!saved) {
        // The last pass's progress must not stand there as if the save had gone on.
        context.window.set_status_text(kProgressField, kSaveFailedStatus);
        show_refusal(context.dialogs, saved.error().message);
        return false;
    }
    // The stored texts are in the file now and join the memory with the names; a failed
    // save above keeps them unsaved.
    SaveReport report = std::move(*saved);
    auto texts = stored_text_memory(workspace.stored_texts, workspace.store, today_date());
    report.confirmed_translations.insert(report.confirmed_translations.end(),
                                         std::make_move_iterator(texts.begin()),
                                         std::make_move_iterator(texts.end()));
    workspace.stored_texts.saved();
    // The plugin is saved; a failure now only means the memory missed the new names.
    if (auto remembered =
            remember_confirmed_translations(context.files, workspace.program_dir, report);
        !remembered) {
        show_refusal(context.dialogs, remembered.error().message);
    }
    return true;
}

} // namespace

void open_command(FileCommandContext& context) {
    Workspace& workspace = context.workspace;
    const WorkerEnd end(workspace);
    if (workspace.worker_ended) {
        return;
    }
    // Another plugin replaces the rows and records, and with them the names typed and the
    // texts stored but not yet saved.
    if (!may_discard_unsaved_work(context.dialogs,
                                  unsaved_work(workspace.lists, workspace.stored_texts),
                                  DiscardingCommand::Open)) {
        return;
    }

    const Text folder = context.settings.reread_plugin_folder();
    const auto chosen =
        context.dialogs.open_file(cp1252(u8"ESP öffnen "), path_of_folder(folder), kFilter);
    if (!chosen || chosen->empty()) {
        return;
    }
    // The folder is kept even when the file then turns out unusable: the user most likely
    // looks in the same folder next time.
    store_folder(context, *chosen, &FolderSettings::store_plugin_folder);

    set_command_menu_enabled(context.window, false);
    const auto loaded = load_chosen_file(context, *chosen);
    if (!loaded) {
        show_refusal(context.dialogs, loaded.error().message);
        // The old plugin, if any, is still there to work on.
        enable_command_menu_for(context.window, workspace.store.loaded());
        return;
    }
    workspace.current_file = *chosen;
    workspace.stored_texts.clear();
    // The new rows are in file order: no header shows a sort arrow.
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        context.window.set_sort_indicator(list_view_of(list_index), kNoSortColumn, true);
    }
    show_file_name(context);
    set_command_menu_enabled(context.window, true);
}

void save_command(FileCommandContext& context) {
    Workspace& workspace = context.workspace;
    const WorkerEnd end(workspace);
    if (!save_may_start(context)) {
        return;
    }

    set_command_menu_enabled(context.window, false);
    const Text question = cp1252(u8"AKTUELLE DATEI ÜBERSCHREIBEN  :") + Text(22, ' ') + "\r" +
                          display_path(workspace.current_file);
    const auto answer = context.dialogs.message_box(kQuestionTitle, question, MessageButtons::YesNo,
                                                    MessageIcon::Question);
    if (answer == MessageAnswer::Yes && save_to(context, workspace.current_file)) {
        show_file_name(context);
    }
    set_command_menu_enabled(context.window, true);
}

void save_as_command(FileCommandContext& context) {
    Workspace& workspace = context.workspace;
    const WorkerEnd end(workspace);
    if (!save_may_start(context)) {
        return;
    }

    const Text folder = context.settings.reread_save_folder();
    const auto chosen =
        context.dialogs.save_file(cp1252(u8"ESP speichern als"), path_of_folder(folder), kFilter);
    if (!chosen || chosen->empty()) {
        return;
    }
    const auto target = save_as_target(*chosen);
    if (!target) {
        return;
    }
    // "Speichern" is the way to overwrite the current file; the comparison is byte for
    // byte, so the same name in other letter case is another file here.
    if (target->native() == workspace.current_file.native()) {
        context.dialogs.message_box(
            kInformationTitle,
            cp1252(u8"DER NAME DER NEUEN DATEI IST IDENTISCH MIT DEM NAMEN DER AKTUELLEN "
                   u8"DATEI.\r   GIB EINEN ANDEREN NAMEN AN ODER NUTZE 'SPEICHERN' UM DIE DATEI "
                   u8"ZU ÜBERSCHREIBEN."),
            MessageButtons::Ok, MessageIcon::Information);
        return;
    }

    set_command_menu_enabled(context.window, false);
    // Stored before the save runs, so the folder is kept even when the save fails.
    store_folder(context, *target, &FolderSettings::store_save_folder);
    if (save_to(context, *target)) {
        workspace.current_file = *target;
        show_file_name(context);
    }
    set_command_menu_enabled(context.window, true);
}

fs::path path_of_folder(const Text& folder) {
    return path_from_utf8(to_utf8(folder));
}

} // namespace orv
