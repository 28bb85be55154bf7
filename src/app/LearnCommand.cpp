#include "app/LearnCommand.h"

#include "app/CommandMenu.h"
#include "app/Refusal.h"
#include "app/WorkerEnd.h"
#include "learn/LearnInto.h"
#include "learn/LearnReport.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

// Master files are only read here, so they may be chosen as well as plugins.
const Text kLearnFilter = "ESP/ESM|*.esp;*.esm";
constexpr int kProgressField = 1;
// How many conflicts and records without a partner the box names before it only counts.
constexpr std::size_t kListedInBox = 10;

} // namespace

void learn_command(FileCommandContext& context) {
    Workspace& workspace = context.workspace;
    const WorkerEnd end(workspace);
    if (workspace.worker_ended) {
        return;
    }
    // The plugin folder is where the user keeps such files.
    const auto folder = path_of_folder(context.settings.reread_plugin_folder());
    const auto english =
        context.dialogs.open_file(cp1252(u8"Englische Datei wählen"), folder, kLearnFilter);
    if (!english || english->empty()) {
        return;
    }
    const auto german = context.dialogs.open_file(
        cp1252(u8"Deutsche Fassung derselben Datei wählen"), english->parent_path(), kLearnFilter);
    if (!german || german->empty()) {
        return;
    }

    set_command_menu_enabled(context.window, false);
    const auto learned =
        learn_into(context.files,
                   {*english, *german, external_database_path(workspace.program_dir).parent_path()},
                   today_date(), [&context](const Text& text) {
                       context.window.set_status_text(kProgressField, text);
                   });
    context.window.set_status_text(kProgressField, Text{});
    enable_command_menu_for(context.window, workspace.store.loaded());
    if (!learned) {
        show_refusal(context.dialogs, learned.error().message);
        return;
    }
    // The memory grew: the name dialog's suggestions are read anew on their next use.
    workspace.suggestions.forget();
    context.dialogs.message_box(
        "INFORMATION", describe_learned(*learned, display_path(german->filename()), kListedInBox),
        MessageButtons::Ok, MessageIcon::Information);
}

} // namespace orv
